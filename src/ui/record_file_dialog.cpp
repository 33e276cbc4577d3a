#include "ui/record_file_dialog.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QStorageInfo>

#include "prefs/user_folder.h"

namespace xq {
namespace {

const QString kLastFolderKey = QStringLiteral("files/lastFolder");

// File systems the kernel makes up as they are read: a folder per process, files that wait for
// data. A dialog listing one can hang, and no record is kept there.
bool madeUpByTheKernel(const QString& path) {
    static const QSet<QByteArray> kinds = {
        "proc",      "sysfs",      "devtmpfs",    "devpts",    "debugfs",  "tracefs", "cgroup",
        "cgroup2",   "securityfs", "pstore",      "bpf",       "configfs", "fusectl", "mqueue",
        "hugetlbfs", "efivarfs",   "binfmt_misc", "selinuxfs", "autofs",   "nsfs",    "rpc_pipefs"};
    return kinds.contains(QStorageInfo(path).fileSystemType());
}

// A folder a dialog can start in at once: there, listable, and an ordinary one.
bool Listable(const QString& path) {
    if (path.isEmpty() || !QDir::isAbsolutePath(path)) return false;
    const QFileInfo info(path);
    return info.isDir() && info.isReadable() && info.isExecutable() &&
           !madeUpByTheKernel(info.canonicalFilePath());
}

}  // namespace

QString recordsHome() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return Listable(documents) ? documents : QDir::homePath();
}

RecordFolder::RecordFolder(QString appPath)
    : settingsFile_(userFilesFolder(appPath) + QStringLiteral("xqtable.ini")) {}

QString RecordFolder::folder() const {
    const QString last =
        QSettings(settingsFile_, QSettings::IniFormat).value(kLastFolderKey).toString();
    return Listable(last) ? last : recordsHome();
}

void RecordFolder::remember(const QString& filePath) {
    if (filePath.isEmpty()) return;
    QSettings settings(settingsFile_, QSettings::IniFormat);
    settings.setValue(kLastFolderKey, QFileInfo(filePath).absolutePath());
}

QString AskFileName(QWidget* parent, const FileDialogRequest& request, RecordFolder& folder,
                    QPointer<QFileDialog>* open) {
    QFileDialog dialog(parent, request.title, folder.folder(), request.filter);
    dialog.setAcceptMode(request.forSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.forSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The callers ask about an existing file themselves where they need to.
    if (request.forSave) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (!request.suggestedName.isEmpty()) dialog.selectFile(request.suggestedName);
    }
    if (open != nullptr) *open = &dialog;
    const bool chosen = dialog.exec() == QDialog::Accepted;
    if (open != nullptr) *open = nullptr;
    const QString path = chosen ? dialog.selectedFiles().value(0) : QString();
    folder.remember(path);
    return path;
}

QString suggestedRecordName(const QString& red, const QString& black, const QDateTime& when,
                            const QString& extension) {
    return suggestedRecordBase(red, black, when) + u'.' + extension;
}

QString suggestedRecordBase(const QString& red, const QString& black, const QDateTime& when) {
    QString players = red.isEmpty() && black.isEmpty() ? QStringLiteral("中国象棋")
                                                       : red + QStringLiteral("对") + black;
    players.replace(QRegularExpression(QStringLiteral(R"([\\/:*?"<>|\x00-\x1f])")),
                    QStringLiteral("_"));
    return players + u'_' + when.toString(QStringLiteral("yyyyMMdd-HHmm"));
}

}  // namespace xq

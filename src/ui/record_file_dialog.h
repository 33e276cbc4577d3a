#pragma once

#include <QDateTime>
#include <QFileDialog>
#include <QPointer>
#include <QString>

namespace xq {

// Where records go when no other folder is known: the user's documents folder where there is
// one, else the home folder.
QString recordsHome();

// The last folder a record was saved to or opened from, kept between runs in the program's own
// settings file beside it ("xqtable.ini"; UserSet.ini keeps its fixed seven lines).
class RecordFolder {
public:
    explicit RecordFolder(QString appPath);
    // The folder to start in: the last one used while a dialog can list it at once (it exists,
    // may be read, and is no folder the kernel makes up such as /proc), else recordsHome().
    QString folder() const;
    void remember(const QString& filePath);

private:
    QString settingsFile_;
};

struct FileDialogRequest {
    QString title;
    QString filter;  // as the dialog shows it, e.g. "中国象棋文件(*.drak)"
    bool forSave = false;
    QString suggestedName;  // a file name without folder, offered when saving
};

// Shows the modal file dialog at the last folder used, with the suggested name when saving;
// the chosen path, or empty when cancelled. While it is open, `*open` points at it (so that it
// can be ended from outside).
QString AskFileName(QWidget* parent, const FileDialogRequest& request, RecordFolder& folder,
                    QPointer<QFileDialog>* open = nullptr);

// A file name for the game of these two players at this moment: both names and the date, e.g.
// "张三对李四_20261208-1130.drak", with characters no file system takes replaced.
QString suggestedRecordName(const QString& red, const QString& black, const QDateTime& when,
                            const QString& extension);
// The same without the extension.
QString suggestedRecordBase(const QString& red, const QString& black, const QDateTime& when);

}  // namespace xq

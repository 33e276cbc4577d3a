#include "startup/kept_ticket.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <algorithm>
#include <array>
#include <optional>

namespace xq {
namespace {

using Perm = QFileDevice::Permission;
constexpr QFileDevice::Permissions kFileMode = Perm::ReadOwner | Perm::WriteOwner;
constexpr QFileDevice::Permissions kFolderMode =
    Perm::ReadOwner | Perm::WriteOwner | Perm::ExeOwner;
// Qt also reports the bits of the calling user; only the owner's and everybody else's count.
constexpr QFileDevice::Permissions kCounted = Perm::ReadOwner | Perm::WriteOwner | Perm::ExeOwner |
                                              Perm::ReadGroup | Perm::WriteGroup | Perm::ExeGroup |
                                              Perm::ReadOther | Perm::WriteOther | Perm::ExeOther;

constexpr qsizetype kTicketDigits = 32;

bool isKeptTicketText(const QByteArray& text) {
    return text.size() == kTicketDigits && std::all_of(text.cbegin(), text.cend(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

std::optional<QString> readTicket(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile() || (info.permissions() & kCounted) != kFileMode)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray text = file.read(kTicketDigits + 2).trimmed();
    if (!isKeptTicketText(text)) return std::nullopt;
    return QString::fromLatin1(text);
}

// The folder, made if need be, that only the user may enter; false when it cannot be had.
bool ownFolder(const QString& folder) {
    QFileInfo info(folder);
    if (info.isSymLink()) return false;  // not made here: whoever made it may look inside
    if (!info.exists()) {
        const QString parent = info.absolutePath();
        if (!QDir().mkpath(parent) || !QDir(parent).mkdir(info.fileName(), kFolderMode))
            return false;
        info.refresh();
    }
    if (!info.isDir()) return false;
    if ((info.permissions() & kCounted) != kFolderMode) {
        if (!QFile::setPermissions(folder, kFolderMode)) return false;
        info.refresh();
    }
    return (info.permissions() & kCounted) == kFolderMode;
}

// Writes the ticket to a file of its own first, so that a reader never sees half of one.
bool writeTicket(const QString& path, const QString& ticket) {
    const QString temporary = path + QStringLiteral(".new-") + freshTicket().left(8);
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, kFileMode)) return false;
    const QByteArray text = ticket.toLatin1() + '\n';
    const bool written = file.write(text) == text.size() && file.flush();
    file.close();
    // The mask of the process may have taken bits away; the reader wants exactly these.
    if (!written || !QFile::setPermissions(temporary, kFileMode)) {
        QFile::remove(temporary);
        return false;
    }
    const QFileInfo old(path);
    if (old.exists() || old.isSymLink()) QFile::remove(path);
    // Never over another file: when two programs make the first one at once, one of them wins.
    if (QFile::rename(temporary, path)) return true;
    QFile::remove(temporary);
    return false;
}

}  // namespace

QString freshTicket() {
    std::array<quint32, 4> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(words.data()),
                                          static_cast<qsizetype>(sizeof(words)))
                                   .toHex());
}

QString ticketFolder() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    // Without a home there is nowhere to keep them.
    if (config.isEmpty()) return {};
    return config + QStringLiteral("/xqtable/tickets");
}

QString keptTicketPath(const QString& folder, const QString& host, quint16 port,
                       const QString& name) {
    const QByteArray key = QStringLiteral("%1:%2:%3").arg(host).arg(port).arg(name).toUtf8();
    const QByteArray digest = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex();
    return QDir(folder).filePath(QString::fromLatin1(digest));
}

QString keptTicket(const QString& host, quint16 port, const QString& name, const QString& folder) {
    if (folder.isEmpty() || !ownFolder(folder)) return freshTicket();
    const QString path = keptTicketPath(folder, host, port, name);
    if (const auto kept = readTicket(path)) return *kept;
    const QString ticket = freshTicket();
    if (writeTicket(path, ticket)) return ticket;
    // Another program of the user's may have written it meanwhile: then that one is the ticket.
    if (const auto kept = readTicket(path)) return *kept;
    return ticket;
}

}  // namespace xq

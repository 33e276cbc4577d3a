#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "startup/handover.h"
#include "startup/kept_ticket.h"

namespace xq {
namespace {

using Perm = QFileDevice::Permission;
constexpr QFileDevice::Permissions kOwnerBits =
    Perm::ReadOwner | Perm::WriteOwner | Perm::ExeOwner | Perm::ReadGroup | Perm::WriteGroup |
    Perm::ExeGroup | Perm::ReadOther | Perm::WriteOther | Perm::ExeOther;

QFileDevice::Permissions Mode(const QString& path) {
    return QFileInfo(path).permissions() & kOwnerBits;
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool IsFreshTicket(const QString& t) {
    return QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(t).hasMatch();
}

TEST(freshTicket, Is128RandomBitsInLowercaseHex) {
    const QString a = freshTicket(), b = freshTicket();
    EXPECT_TRUE(IsFreshTicket(a)) << a.toStdString();
    EXPECT_NE(a, b);
}

TEST(keptTicket, IsMadeOnceInAFileOnlyTheUserMayReadAndKept) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString folder = home.filePath(QStringLiteral("config/xqtable/tickets"));
    const QString first =
        keptTicket(QStringLiteral("127.0.0.1"), 5000, QStringLiteral("张三"), folder);
    EXPECT_TRUE(IsFreshTicket(first));
    EXPECT_EQ(Mode(folder), Perm::ReadOwner | Perm::WriteOwner | Perm::ExeOwner);
    const QString path =
        keptTicketPath(folder, QStringLiteral("127.0.0.1"), 5000, QStringLiteral("张三"));
    EXPECT_EQ(QFileInfo(path).fileName().size(), 64) << "a SHA-256 in hex names the file";
    EXPECT_EQ(Mode(path), Perm::ReadOwner | Perm::WriteOwner);
    EXPECT_EQ(Contents(path).trimmed(), first.toLatin1());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1) << "nothing left over";

    EXPECT_EQ(keptTicket(QStringLiteral("127.0.0.1"), 5000, QStringLiteral("张三"), folder), first);
    // Each room and name has its own.
    const struct {
        const char* host;
        quint16 port;
        const char* name;
    } others[] = {
        {"127.0.0.1", 5001, "张三"}, {"localhost", 5000, "张三"}, {"127.0.0.1", 5000, "李四"}};
    for (const auto& o : others)
        EXPECT_NE(keptTicket(QString::fromUtf8(o.host), o.port, QString::fromUtf8(o.name), folder),
                  first)
            << o.host << " " << o.port << " " << o.name;
}

TEST(keptTicket, AFileThatIsNotRightIsReplaced) {
    const struct {
        const char* what;
        QByteArray contents;
        QFileDevice::Permissions mode;
    } cases[] = {
        {"readable by the group", "0123456789abcdef0123456789abcdef\n",
         Perm::ReadOwner | Perm::WriteOwner | Perm::ReadGroup},
        {"readable by everybody", "0123456789abcdef0123456789abcdef\n",
         Perm::ReadOwner | Perm::WriteOwner | Perm::ReadOther},
        {"not writable by the user", "0123456789abcdef0123456789abcdef\n", Perm::ReadOwner},
        {"empty", "", Perm::ReadOwner | Perm::WriteOwner},
        {"too short", "0123456789abcdef\n", Perm::ReadOwner | Perm::WriteOwner},
        {"upper case", "0123456789ABCDEF0123456789ABCDEF\n", Perm::ReadOwner | Perm::WriteOwner},
        {"not hex", "0123456789abcdef0123456789abcdeg\n", Perm::ReadOwner | Perm::WriteOwner},
        {"more after it", "0123456789abcdef0123456789abcdef\nx",
         Perm::ReadOwner | Perm::WriteOwner},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir home;
        const QString folder = home.filePath(QStringLiteral("tickets"));
        keptTicket(QStringLiteral("h"), 1, QStringLiteral("n"), folder);
        const QString path = keptTicketPath(folder, QStringLiteral("h"), 1, QStringLiteral("n"));
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(c.contents);
        }
        ASSERT_TRUE(QFile::setPermissions(path, c.mode));
        const QString ticket = keptTicket(QStringLiteral("h"), 1, QStringLiteral("n"), folder);
        EXPECT_TRUE(IsFreshTicket(ticket));
        EXPECT_NE(ticket, QStringLiteral("0123456789abcdef0123456789abcdef"));
        EXPECT_EQ(Mode(path), Perm::ReadOwner | Perm::WriteOwner);
        EXPECT_EQ(Contents(path).trimmed(), ticket.toLatin1());
        EXPECT_EQ(keptTicket(QStringLiteral("h"), 1, QStringLiteral("n"), folder), ticket);
    }
}

TEST(keptTicket, AFolderOthersMayEnterIsClosedAndALinkIsNotFollowed) {
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("tickets"));
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("tickets")));
    ASSERT_TRUE(QFile::setPermissions(folder, Perm::ReadOwner | Perm::WriteOwner | Perm::ExeOwner |
                                                  Perm::ReadOther | Perm::ExeOther));
    const QString ticket = keptTicket(QStringLiteral("h"), 1, QStringLiteral("n"), folder);
    EXPECT_EQ(Mode(folder), Perm::ReadOwner | Perm::WriteOwner | Perm::ExeOwner);
    EXPECT_EQ(keptTicket(QStringLiteral("h"), 1, QStringLiteral("n"), folder), ticket);

    // The file a link points to is not read as the ticket, nor written through.
    const QString elsewhere = home.filePath(QStringLiteral("elsewhere"));
    {
        QFile file(elsewhere);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("0123456789abcdef0123456789abcdef\n");
    }
    QFile::setPermissions(elsewhere, Perm::ReadOwner | Perm::WriteOwner);
    const QString path = keptTicketPath(folder, QStringLiteral("h"), 2, QStringLiteral("n"));
    ASSERT_TRUE(QFile::link(elsewhere, path));
    const QString linked = keptTicket(QStringLiteral("h"), 2, QStringLiteral("n"), folder);
    EXPECT_NE(linked, QStringLiteral("0123456789abcdef0123456789abcdef"));
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_EQ(Contents(elsewhere).trimmed(), QByteArray("0123456789abcdef0123456789abcdef"));

    // No folder to be had: a ticket for this run all the same.
    EXPECT_TRUE(IsFreshTicket(keptTicket(QStringLiteral("h"), 1, QStringLiteral("n"),
                                         elsewhere + QStringLiteral("/sub"))));
    EXPECT_TRUE(IsFreshTicket(keptTicket(QStringLiteral("h"), 1, QStringLiteral("n"), {})));
}

TEST(takeHandover, ReadsBothAndLeavesNeitherInTheEnvironment) {
    qputenv(kTicketVariable, "abc123");
    qputenv(kTlsVariable, "pin:00ff");
    const Handover got = takeHandover();
    EXPECT_EQ(got.ticket, QStringLiteral("abc123"));
    EXPECT_EQ(got.tls, QStringLiteral("pin:00ff"));
    EXPECT_FALSE(qEnvironmentVariableIsSet(kTicketVariable));
    EXPECT_FALSE(qEnvironmentVariableIsSet(kTlsVariable));
    const Handover none = takeHandover();
    EXPECT_TRUE(none.ticket.isEmpty());
    EXPECT_TRUE(none.tls.isEmpty());
}

}  // namespace
}  // namespace xq

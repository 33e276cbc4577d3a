#include <gtest/gtest.h>

#include "net/cp936.h"
#include "server/hello.h"

namespace xq::server {
namespace {

TEST(HelloTest, OnlyAProperHelloNamesTheUserAndCarriesItsTicket) {
    const QByteArray prefix("XQTABLE/1`");
    const QByteArray printable = [] {
        QByteArray all;
        for (char c = 0x21; c <= 0x7E; ++c) {
            if (c != '`') all.append(c);
        }
        return all.left(64);
    }();
    const struct {
        QByteArray frame;
        QString name;
        QString ticket;
    } good[] = {
        {prefix + encodeCp936(u"张三"), QStringLiteral("张三"), QString()},
        {prefix + QByteArray(32, 'a'), QString(32, u'a'), QString()},
        {prefix + "ann`", QStringLiteral("ann"), QString()},
        {prefix + "ann`-", QStringLiteral("ann"), QString()},
        {prefix + "ann`s3cr-t!", QStringLiteral("ann"), QStringLiteral("s3cr-t!")},
        {prefix + "ann`" + printable, QStringLiteral("ann"), QString::fromLatin1(printable)},
        // A two-byte character whose second byte is "`" (0x60) is part of the name.
        {prefix + "\x81\x60", QString(QChar(0x4E63)), QString()},
    };
    for (const auto& c : good) {
        const auto hello = parseHello(c.frame);
        ASSERT_TRUE(hello.has_value()) << c.frame.toStdString();
        EXPECT_EQ(hello->name, c.name) << c.frame.toStdString();
        EXPECT_EQ(hello->ticket, c.ticket) << c.frame.toStdString();
    }
    const QByteArray bad[] = {
        prefix,
        prefix + QByteArray(33, 'a'),
        prefix + " ann",
        prefix + "ann ",
        prefix + "a\tb",
        prefix + "a\x01",
        prefix + "ann\xd5",  // broken last character
        prefix + "`t",       // a ticket without a name
        prefix + "ann`t`u",  // one field too many
        prefix + "ann``",
        prefix + "ann`t u",
        prefix + "ann`t\x7f",
        prefix + "ann`" + encodeCp936(u"票"),
        prefix + "ann`" + printable + "x",  // 65 characters
        QByteArray("XQTABLE/2`ann"),
        QByteArray("xqtable/1`ann"),
        QByteArray("\x82\x00"
                   "500`DRAK`1",
                   12),
    };
    for (const QByteArray& frame : bad)
        EXPECT_FALSE(parseHello(frame).has_value()) << frame.toStdString();
}

TEST(HelloTest, TheLoginIsExactlyTheClientsMessage) {
    EXPECT_EQ(parseLogin(QByteArray("\x82\x00"
                                    "500`DRAK`1",
                                    12)),
              true);
    EXPECT_EQ(parseLogin(QByteArray("\x82\x00"
                                    "500`DRAK`0",
                                    12)),
              false);
    for (const QByteArray& frame : {QByteArray("\x82\x00"
                                               "500`DRAK`2",
                                               12),
                                    QByteArray("\x82\x00"
                                               "500`DRAK`",
                                               11),
                                    QByteArray("\x82\x00"
                                               "500`DRAK`10",
                                               13),
                                    QByteArray("\x82\x01"
                                               "500`DRAK`1",
                                               12),
                                    QByteArray("\x82\x00"
                                               "501`DRAK`1",
                                               12),
                                    QByteArray()})
        EXPECT_FALSE(parseLogin(frame).has_value());
}

}  // namespace
}  // namespace xq::server

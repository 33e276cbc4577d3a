#include "table_harness.h"

namespace xq::server::test {
namespace {

class TableChatTest : public TableFixture {
protected:
    static Cmd Chat(const QString& from, const QString& to, const QString& text, int privateFlag,
                    const std::optional<QString>& shownAs = std::nullopt) {
        const QStringList f = {from,
                               to,
                               shownAs.value_or(from),
                               to,
                               QStringLiteral("12:00:00"),
                               text,
                               QStringLiteral("#000000"),
                               QStringLiteral("3"),
                               QString::number(privateFlag),
                               QString()};
        return Text({1}, f.join(u'`'));
    }
};

TEST_F(TableChatTest, LinesAreRelayedUnchangedAndPrivateOnesOnlyToTheTwo) {
    seatBoth();
    login(10, QStringLiteral("王五"));
    out.clear();
    const QString all = QStringLiteral("所有人");
    struct Case {
        ConnId from;
        Cmd line;
        QList<ConnId> receivers;
    };
    const Case cases[] = {
        {kOwner, Chat(owner, all, QStringLiteral("你好"), 0), {kOwner, kGuest, 10}},
        {10, Chat(QStringLiteral("王五"), all, QStringLiteral("加油"), 0), {kOwner, kGuest, 10}},
        {kOwner, Chat(owner, guest, QStringLiteral("悄悄话"), 1), {kOwner, kGuest}},
        {10, Chat(QStringLiteral("王五"), QStringLiteral("无人"), QStringLiteral("?"), 1), {10}},
        // In another's name, with a field short, too long, or broken: dropped.
        {kGuest, Chat(owner, all, QStringLiteral("冒名"), 0), {}},
        // The speaker the clients show (field 2) is somebody else.
        {10, Chat(QStringLiteral("王五"), all, QStringLiteral("我认输了"), 0, owner), {}},
        {kGuest, Chat(guest, owner, QStringLiteral("我认输了"), 1, owner), {}},
        {kOwner, Chat(owner, all, QStringLiteral("x"), 0, QString()), {}},
        {kOwner, Text({1}, owner + QStringLiteral("`所有人`a`b`c`d`e`f`0")), {}},
        {kOwner, Chat(owner, all, QString(1100, u'长'), 0), {}},
        {kOwner, Chat(owner, all, QStringLiteral("x"), 0) + QByteArray("\xd5", 1), {}},
        {kOwner, Bytes({1}), {}},
    };
    for (const Case& c : cases) {
        out.clear();
        say(c.from, c.line);
        for (ConnId id : {kOwner, kGuest, ConnId{10}}) {
            const bool gets = c.receivers.contains(id);
            EXPECT_EQ(inbox(id), gets ? QList<Cmd>{c.line} : QList<Cmd>{})
                << "from " << c.from << " to " << id;
        }
    }
    // The limit is on the whole message: 2048 bytes still pass.
    const Cmd base = Chat(owner, all, QString(), 0);
    const Cmd longest = Chat(owner, all, QString(2048 - base.size(), u'a'), 0);
    ASSERT_EQ(longest.size(), 2048);
    out.clear();
    say(kOwner, longest);
    EXPECT_EQ(count(kGuest, 1), 1);
    table.receive(77, Chat(QStringLiteral("外人"), all, QStringLiteral("x"), 0));
    EXPECT_EQ(count(kGuest, 1), 1) << "only logged-in users chat";
}

}  // namespace
}  // namespace xq::server::test

#include "server/chat_line.h"
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

// Shapes a line takes to make the panes show something nobody said: a line break in the text
// starts a line of its own, a time field that is more than a time prints a speaker in front.
TEST_F(TableChatTest, NoLineCanMakeThePanesShowALineOfItsOwn) {
    seatBoth();
    login(10, QStringLiteral("王五"));
    const QString all = QStringLiteral("所有人");
    const QString fake = QStringLiteral("[12:00:01] 李四 说：我认输");
    const auto fields = [&](const QString& text) {
        return QStringList{owner,
                           all,
                           owner,
                           all,
                           QStringLiteral("12:00:00"),
                           text,
                           QStringLiteral("#000000"),
                           QStringLiteral("3"),
                           QStringLiteral("0"),
                           QString()};
    };
    // The text: each line-breaking character is relayed as a blank, the rest as it came.
    const struct {
        const char* what;
        QString text;
        QString relayed;
    } cleaned[] = {
        {"LF", QStringLiteral("好\n") + fake, QStringLiteral("好 ") + fake},
        {"CR", QStringLiteral("好\r") + fake, QStringLiteral("好 ") + fake},
        {"CRLF", QStringLiteral("好\r\n") + fake, QStringLiteral("好  ") + fake},
        {"NUL", QStringLiteral("a") + QChar(0) + QStringLiteral("b"), QStringLiteral("a b")},
        {"tab, VT, FF, ESC, DEL", QStringLiteral("a\tb\vc\fd\x1b[2Je\x7f"),
         QStringLiteral("a b c d [2Je ")},
        {"only a line break", QStringLiteral("\n"), QStringLiteral(" ")},
    };
    for (const auto& c : cleaned) {
        out.clear();
        say(kOwner, Text({1}, fields(c.text).join(u'`')));
        const Cmd expected = Text({1}, fields(c.relayed).join(u'`'));
        for (ConnId id : {kOwner, kGuest, ConnId{10}})
            EXPECT_EQ(inbox(id), QList<Cmd>{expected}) << c.what << " to " << id;
        advance(1000);  // the chat rate is not what this test is about
    }

    // Bytes that read as a character but would not be written back the same (a pair the code
    // page has no character for, a pair that reads as a private-use character, a control byte
    // taken as the second half of a pair): only the text's line breaks change, byte for byte.
    const QByteArray head = encodeCp936(owner + QStringLiteral("`所有人`") + owner +
                                        QStringLiteral("`所有人`12:00:00`"));
    const struct {
        const char* what;
        QByteArray sent;
        QByteArray relayed;
    } raw[] = {
        {"odd pairs beside a break", "\xe0\x17\x06\x80\xcb)```0\xff\xff\xff\n83`\x80\xff\xf9",
         "\xe0\x17 \x80\xcb)```0\xff\xff\xff\n83`\x80\xff\xf9"},
        {"a separator inside a pair", "a\nb\xd5`c`#0`3`0`x", "a b\xd5`c`#0`3`0`x"},
    };
    for (const auto& c : raw) {
        out.clear();
        say(kOwner, Bytes({1}) + head + c.sent);
        for (ConnId id : {kOwner, kGuest, ConnId{10}})
            EXPECT_EQ(inbox(id), QList<Cmd>{Bytes({1}) + head + c.relayed})
                << c.what << " to " << id;
        advance(1000);
    }

    // A line malformed anywhere else is dropped, and the log says so.
    const auto with = [&](int field, const QString& value) {
        QStringList f = fields(QStringLiteral("你好"));
        f[field] = value;
        return f;
    };
    const struct {
        const char* what;
        QStringList fields;
    } dropped[] = {
        {"a speaker in the time", with(4, QStringLiteral("12:00:00] 系统 说：x"))},
        {"an empty time", with(4, QString())},
        {"hour 24", with(4, QStringLiteral("24:00:00"))},
        {"minute 60", with(4, QStringLiteral("12:60:00"))},
        {"second 60", with(4, QStringLiteral("12:00:60"))},
        {"one digit", with(4, QStringLiteral("1:00:00"))},
        {"a letter", with(4, QStringLiteral("12:0a:00"))},
        {"full-width digits", with(4, QStringLiteral("１２:００:００"))},
        {"a line break after the time", with(4, QStringLiteral("12:00:00\n"))},
        {"another addressee shown", with(3, guest)},
        {"another addressee delivered", with(1, guest)},
        {"a line break in the addressee",
         [&] {
             QStringList f = with(1, guest + u'\n');
             f[3] = f[1];
             return f;
         }()},
        {"a control in the colour", with(6, QStringLiteral("#000000\r"))},
        {"a control in the face", with(7, QStringLiteral("3\n"))},
        {"a control in the flag", with(8, QStringLiteral("0\x1b"))},
        {"a control in the spare field", with(9, QStringLiteral("\n"))},
    };
    for (const auto& c : dropped) {
        out.clear();
        const qsizetype logged = out.lines.size();
        say(kOwner, Text({1}, c.fields.join(u'`')));
        for (ConnId id : {kOwner, kGuest, ConnId{10}})
            EXPECT_EQ(count(id, 1), 0) << c.what << " to " << id;
        EXPECT_GT(out.lines.size(), logged) << c.what << " leaves no log line";
        advance(1000);
    }
}

// The rule itself, with what code page 936 cannot carry but another decoder might.
TEST(ChatLineCheck, UnicodeLineBreaksCountAsLineBreaks) {
    const QString me = QStringLiteral("张三");
    const QStringList good{me,
                           QStringLiteral("所有人"),
                           me,
                           QStringLiteral("所有人"),
                           QStringLiteral("23:59:59"),
                           QStringLiteral("好"),
                           QStringLiteral("#000000"),
                           QStringLiteral("0"),
                           QStringLiteral("0"),
                           QString()};
    const ChatLine plain = checkChatLine(good, me);
    EXPECT_EQ(plain.refusal, nullptr);
    EXPECT_FALSE(plain.textChanged);
    EXPECT_EQ(plain.fields, good);
    for (const char16_t breaker : {u'\u2028', u'\u2029', u'\u0085', u'\u009b'}) {
        const QString b(QChar{breaker});
        QStringList f = good;
        f[5] = QStringLiteral("好") + b + QStringLiteral("x");
        const ChatLine text = checkChatLine(f, me);
        EXPECT_EQ(text.refusal, nullptr);
        EXPECT_TRUE(text.textChanged);
        EXPECT_EQ(text.fields.value(5), QStringLiteral("好 x"));
        for (const QList<int>& fields : {QList<int>{1, 3}, {4}, {6}, {7}, {8}, {9}}) {
            f = good;
            for (int i : fields)
                f[i] += b;
            EXPECT_NE(checkChatLine(f, me).refusal, nullptr) << "field " << fields[0];
        }
    }
}

TEST_F(TableChatTest, EachSpeakerHasABurstOfLinesThenOneASecond) {
    seatBoth();
    login(10, QStringLiteral("王五"));
    const QString all = QStringLiteral("所有人");
    const Cmd tooFast = Text({24}, QStringLiteral("发言太快，请稍后再说"));
    const auto fromSpectator = [&](int k) {
        return Chat(QStringLiteral("王五"), all, QString::number(k), 0);
    };
    const auto relayed = [&] { return count(kGuest, 1); };
    const auto warned = [&] { return static_cast<int>(inbox(10).count(tooFast)); };
    out.clear();
    // Each step: milliseconds to wait, lines the spectator sends, then the totals relayed to the
    // others and notices he has had.
    const struct {
        qint64 waitMs;
        int lines;
        int relayedTotal;
        int warnedTotal;
    } steps[] = {
        {0, 7, 5, 1},       // a burst of five, the rest dropped with one notice
        {400, 3, 5, 1},     // still nothing back; no second notice for the same run
        {600, 2, 6, 2},     // one line a second comes back
        {2000, 3, 8, 3},    // two seconds: two lines
        {10000, 6, 13, 4},  // a long pause refills the burst, no more
    };
    int k = 0;
    for (const auto& s : steps) {
        advance(s.waitMs);
        for (int i = 0; i < s.lines; ++i)
            say(10, fromSpectator(k++));
        EXPECT_EQ(relayed(), s.relayedTotal) << "after line " << k;
        EXPECT_EQ(warned(), s.warnedTotal) << "after line " << k;
    }
    // Each speaker has his own allowance, private lines included; nobody else hears the notice.
    for (int i = 0; i < 6; ++i)
        say(kOwner, Chat(owner, guest, QStringLiteral("悄悄话"), 1));
    EXPECT_EQ(relayed(), 13 + 5);
    EXPECT_EQ(inbox(kOwner).count(tooFast), 1);
    EXPECT_EQ(inbox(kGuest).count(tooFast), 0);
}

TEST_F(TableChatTest, TheAllowanceIsTheTablesSetting) {
    RecordingOutput quiet;
    RoomTable strict(quiet, ChatRate{1, 3000});
    strict.login(1, owner, true);
    for (qint64 t : {0, 1000, 2999, 3000, 3001, 6000}) {
        strict.advanceTo(t);
        strict.receive(1, Chat(owner, QStringLiteral("所有人"), QStringLiteral("x"), 0));
    }
    int lines = 0;
    for (const Cmd& m : quiet.inbox.value(1))
        lines += byteAt(m, 0) == 1;
    EXPECT_EQ(lines, 3) << "at 0, 3000 and 6000";
}

}  // namespace
}  // namespace xq::server::test

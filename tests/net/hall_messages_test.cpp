#include <gtest/gtest.h>

#include "net/cp936.h"
#include "net/hall_messages.h"
#include "net/wire_limits.h"

namespace xq::hall {
namespace {

template <typename T>
T as(const QByteArray& m) {
    const auto parsed = parseServerMessage(m);
    EXPECT_TRUE(parsed.has_value());
    if (!parsed || !std::holds_alternative<T>(*parsed)) {
        ADD_FAILURE() << "wrong kind of message";
        return T{};
    }
    return std::get<T>(*parsed);
}

PlayerRow player(const QString& name) {
    return PlayerRow{name, 10007, -35, 12, 5, 4, 2, 1, 13, 3, Place::Watch};
}

TEST(HallMessages, BatchesReadBackAndAnyListFitsInFrames) {
    const QString tricky = QString::fromUtf8("丠乣");
    const TableRow table{4, {QStringLiteral("张三"), QString()}, {1200, 0}, 7, true};
    const auto one = [](const QList<QByteArray>& ms) {
        EXPECT_EQ(ms.size(), 1);
        return ms.value(0);
    };
    EXPECT_EQ(as<in::PlayerRows>(one(playerRows({player(tricky), player("a")}))).rows,
              (QList<PlayerRow>{player(tricky), player("a")}));
    EXPECT_EQ(as<in::PlayersGone>(one(playersGone({tricky, QStringLiteral("b")}))).names,
              (QStringList{tricky, QStringLiteral("b")}));
    EXPECT_EQ(as<in::TableRows>(one(tableRows({table}))).rows, QList<TableRow>{table});
    EXPECT_TRUE(playerRows({}).isEmpty());
    EXPECT_TRUE(playersGone({}).isEmpty());
    EXPECT_EQ(as<in::Players>(one(wholePlayerList({}))).rows, QList<PlayerRow>{});
    // A gone name may not be empty; rows must be whole.
    for (const QByteArray& bad : {QByteArray("\xd4"
                                             "a\n\nb"),
                                  QByteArray("\xd3"
                                             "x`1"),
                                  QByteArray("\xd5"
                                             "1`a`1`b`2`0")})
        EXPECT_FALSE(parseServerMessage(bad).has_value()) << bad.toHex().toStdString();

    // Eight thousand rows of the longest names: several messages, each within its limit, the
    // first a whole list and the rest added to it, all the rows once and in order; the same
    // from rows encoded beforehand.
    QList<PlayerRow> many;
    QList<QByteArray> encoded;
    for (int n = 0; n < 8000; ++n) {
        many.append(player(QStringLiteral("%1").arg(n, 32, 10, QChar(u'字'))));
        encoded.append(encodedPlayerRow(many.last()));
    }
    for (const QList<QByteArray>& parts : {wholePlayerList(many), wholePlayerListOf(encoded)}) {
        ASSERT_GT(parts.size(), 2);
        QList<PlayerRow> back;
        for (qsizetype i = 0; i < parts.size(); ++i) {
            EXPECT_LE(parts[i].size(), kMaxBatchBytes);
            if (i == 0) {
                back += as<in::Players>(parts[i]).rows;
            } else {
                back += as<in::PlayerRows>(parts[i]).rows;
            }
        }
        EXPECT_EQ(back, many);
    }
}

TEST(HallMessages, EveryServerMessageReadsBackAsWritten) {
    // "`" (0x60) is a trail byte of some two-byte characters: names are decoded before splitting.
    const QString tricky = QString::fromUtf8("丠乣");
    ASSERT_TRUE(encodeCp936(tricky).contains('`'));
    const QList<PlayerRow> players{player(QStringLiteral("张三")), player(tricky)};
    const TableRow table{4, {QStringLiteral("张三"), QString()}, {1200, 0}, 7, true};

    EXPECT_EQ(as<in::OwnRow>(ownRow(players[1])).row, players[1]);
    EXPECT_EQ(as<in::Players>(playerList(players)).rows, players);
    EXPECT_EQ(as<in::PlayerChanged>(playerChanged(players[0])).row, players[0]);
    EXPECT_EQ(as<in::PlayerLeft>(playerLeft(tricky)).name, tricky);
    EXPECT_EQ(as<in::Tables>(tableList({table, TableRow{5, {}, {}, 0, false}})).rows.size(), 2);
    EXPECT_EQ(as<in::Tables>(tableList({table})).rows.front(), table);
    EXPECT_EQ(as<in::TableChanged>(tableChanged(table)).row, table);
    const auto chat = as<in::Chat>(chatLine(tricky, QStringLiteral("a`b 你好")));
    EXPECT_EQ(chat.speaker, tricky);
    EXPECT_EQ(chat.text, QStringLiteral("a`b 你好"));
    const QString ticket = QStringLiteral("0123456789abcdef0123456789abcdef");
    const auto yes = as<in::Reservation>(granted(12, Place::Seat1, ticket));
    EXPECT_TRUE(yes.granted);
    EXPECT_EQ(yes.table, 12);
    EXPECT_EQ(yes.place, Place::Seat1);
    EXPECT_EQ(yes.ticket, ticket);
    // A server that issues no tickets grants with two fields.
    EXPECT_TRUE(as<in::Reservation>(QByteArray("\xcc\x00", 2) + "12`1").ticket.isEmpty());
    EXPECT_TRUE(as<in::PasswordResult>(passwordChanged()).changed);
    const auto keep = as<in::PasswordResult>(passwordRefused(QStringLiteral("原密码错误")));
    EXPECT_FALSE(keep.changed);
    EXPECT_EQ(keep.reason, QStringLiteral("原密码错误"));
    const auto no = as<in::Reservation>(refused(3, Place::Watch, QStringLiteral("座位已有人")));
    EXPECT_FALSE(no.granted);
    EXPECT_EQ(no.place, Place::Watch);
    EXPECT_EQ(no.reason, QStringLiteral("座位已有人"));
    EXPECT_EQ(as<in::Notice>(notice(QStringLiteral("发言太快"))).text, QStringLiteral("发言太快"));
}

TEST(HallMessages, MalformedServerMessagesAreRefused) {
    const QByteArray badText("\x81", 1);  // half a character
    const struct {
        const char* what;
        QByteArray message;
    } cases[] = {
        {"empty", QByteArray()},
        {"unknown code", QByteArray(1, static_cast<char>(199))},
        {"own row without sub-code", QByteArray(1, static_cast<char>(200))},
        {"row with 10 fields", QByteArray("\xc8\x00", 2) + "a`1`2`3`4`5`6`7`8`9"},
        {"row with a letter for a number", QByteArray("\xc8\x00", 2) + "a`1`2`3`4`x`6`7`8`9`0"},
        {"row with place 3", QByteArray("\xc8\x00", 2) + "a`1`2`3`4`5`6`7`8`9`3"},
        {"row with an empty name", QByteArray("\xc8\x00", 2) + "`1`2`3`4`5`6`7`8`9`0"},
        {"broken text", QByteArray("\xc8\x00", 2) + badText},
        {"list with a bad line", QByteArray("\xc9\x00", 2) + "a`1`2`3`4`5`6`7`8`9`0\nb"},
        {"table 0", QByteArray("\xca\x01", 2) + "0`a`1``0`0`0"},
        {"playing 2", QByteArray("\xca\x01", 2) + "1`a`1``0`0`2"},
        {"chat without speaker", QByteArray("\xcb", 1) + "`hello"},
        {"grant with a reason", QByteArray("\xcc\x00", 2) + "1`0`ticket`why"},
        {"grant with a ticket of blanks", QByteArray("\xcc\x00", 2) + "1`0`a b"},
        {"grant with an empty ticket", QByteArray("\xcc\x00", 2) + "1`0`"},
        {"password changed with text", QByteArray("\xd1\x00", 2) + "x"},
        {"password answer sub-code 2", QByteArray("\xd1\x02", 2)},
        {"reservation sub-code 2", QByteArray("\xcc\x02", 2) + "1`0"},
        {"huge number", QByteArray("\xca\x01", 2) + "99999999999`a`1``0`0`0"},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(parseServerMessage(c.message).has_value()) << c.what;
}

TEST(HallMessages, ClientRequestsReadBackAndBadOnesAreRefused) {
    const auto reserve = [](const QByteArray& m) {
        const auto parsed = parseClientMessage(m);
        return parsed && std::holds_alternative<in::Reserve>(*parsed)
                   ? std::optional<in::Reserve>(std::get<in::Reserve>(*parsed))
                   : std::nullopt;
    };
    ASSERT_TRUE(reserve(reserveSeat(7, 1)));
    EXPECT_EQ(reserve(reserveSeat(7, 1))->table, 7);
    EXPECT_EQ(reserve(reserveSeat(7, 1))->place, Place::Seat1);
    EXPECT_EQ(reserve(reserveWatch(2))->place, Place::Watch);
    EXPECT_FALSE(reserve(reserveSeat(7, 2)));
    EXPECT_FALSE(reserve(reserveSeat(0, 0)));
    EXPECT_FALSE(reserve(reserveSeat(-1, 0)));
    EXPECT_FALSE(reserve(QByteArray("\xcd\x00", 2) + "1`0`0"));
    EXPECT_FALSE(reserve(QByteArray("\xcd\x01", 2) + "1x"));
    EXPECT_FALSE(reserve(QByteArray("\xcd\x02", 2) + "1"));
    EXPECT_FALSE(reserve(QByteArray("\xcd", 1)));

    const auto said = parseClientMessage(say(QStringLiteral("大家好`")));
    ASSERT_TRUE(said && std::holds_alternative<in::Say>(*said));
    EXPECT_EQ(std::get<in::Say>(*said).text, QStringLiteral("大家好`"));
    EXPECT_FALSE(parseClientMessage(say(QString())).has_value());
    EXPECT_TRUE(parseClientMessage(leave()).has_value());
    EXPECT_FALSE(parseClientMessage(leave() + "x").has_value());
    const auto alive = parseClientMessage(keepAlive());
    EXPECT_TRUE(alive && std::holds_alternative<in::KeepAlive>(*alive));
    EXPECT_EQ(keepAlive(), QByteArray("\xd2", 1));
    EXPECT_FALSE(parseClientMessage(keepAlive() + "x").has_value()) << "it has no body";
}

TEST(HallMessages, AccountHellosAndPasswordsTravelAsWritten) {
    EXPECT_EQ(accountHello(QStringLiteral("王五"), QStringLiteral("pass word"), false),
              QByteArray("XQHALL/2`\xcd\xf5\xce\xe5`pass word"));
    EXPECT_EQ(accountHello(QStringLiteral("ab"), QStringLiteral("秘密"), true),
              QByteArray("XQHALL/2+`ab`\xc3\xd8\xc3\xdc"));
    EXPECT_LE(accountHello(QString(32, QChar(0x738b)), QString(128, u'x'), true).size(),
              static_cast<qsizetype>(xq::kMaxHallHelloBytes));

    const auto change = [](const QByteArray& m) {
        const auto parsed = parseClientMessage(m);
        return parsed && std::holds_alternative<in::ChangePassword>(*parsed)
                   ? std::optional(std::get<in::ChangePassword>(*parsed))
                   : std::nullopt;
    };
    const auto ok = change(changePassword(QStringLiteral("旧的 one"), QStringLiteral("新的!")));
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->oldPassword, QStringLiteral("旧的 one"));
    EXPECT_EQ(ok->newPassword, QStringLiteral("新的!"));
    EXPECT_FALSE(change(QByteArray("\xd0", 1) + "nofield"));
    EXPECT_FALSE(change(QByteArray("\xd0", 1) + "`new")) << "an empty old password";
    EXPECT_FALSE(change(QByteArray("\xd0", 1) + "old`"));
    EXPECT_FALSE(change(QByteArray("\xd0", 1) + "old`a`b")) << "a third field";

    const struct {
        QString password;
        bool fine;
    } passwords[] = {
        {QStringLiteral("x"), true},
        {QStringLiteral("长 一点的 密码 with blanks"), true},
        {QString(128, u'a'), true},
        {QString(129, u'a'), false},
        {QString(43, QChar(0x5bc6)), false},  // 129 bytes in UTF-8
        {QString(), false},
        {QStringLiteral("a`b"), false},
        {QStringLiteral("a\tb"), false},
        {QStringLiteral("a\nb"), false},
        {QStringLiteral("한국어"), false},  // no form in code page 936
    };
    for (const auto& p : passwords)
        EXPECT_EQ(!passwordWireProblem(p.password), p.fine) << p.password.toStdString();
}

}  // namespace
}  // namespace xq::hall

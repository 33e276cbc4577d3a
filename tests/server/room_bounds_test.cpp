// The room against strangers: seats reserved and left to lapse, and chat from fresh connections
// and fresh names, held per name and per address.

#include <gtest/gtest.h>

#include "net/hall_messages.h"
#include "server/room.h"
#include "table_harness.h"

namespace xq::server::test {
namespace {

class RoomBoundsTest : public ::testing::Test {
protected:
    void makeRoom(int tables, ChatRate chat = {2, 1000}) {
        room.reset();
        room = std::make_unique<Room>(out, RoomOptions{tables, chat, 60'000}, book);
        room->setAddressLookup([this](ConnId id) { return addressOf.value(id); });
    }
    // A guest in the hall from `address` (empty: one not counted, as a local gateway's).
    void enter(ConnId id, const QString& name, const QString& address) {
        addressOf.insert(id, address);
        ASSERT_TRUE(room->hallLogin(id, name, QStringLiteral("t-") + name));
    }
    std::optional<hall::in::Reservation> answer(ConnId id) const {
        const QList<Cmd> msgs = out.inbox.value(id);
        for (auto it = msgs.rbegin(); it != msgs.rend(); ++it) {
            if (it->isEmpty() || byteAt(*it, 0) != hall::code::kReservation) continue;
            if (const auto m = hall::parseServerMessage(*it))
                return std::get<hall::in::Reservation>(*m);
        }
        return std::nullopt;
    }
    // Tries every seat of the room; the answer to the last try.
    std::optional<hall::in::Reservation> reserveAnySeat(ConnId id) {
        for (int t = 1; t <= room->tableCount(); ++t) {
            for (int s = 0; s < 2; ++s) {
                room->receive(id, hall::reserveSeat(t, s));
                const auto a = answer(id);
                if (a && a->granted) return a;
                // Refused for who he is, not for the seat: no seat will do.
                if (a && !a->reason.contains(QStringLiteral("座位已有人"))) return a;
            }
        }
        return answer(id);
    }
    int chatLinesTo(ConnId id, int code) const {
        int n = 0;
        for (const Cmd& m : out.inbox.value(id))
            n += !m.isEmpty() && byteAt(m, 0) == code ? 1 : 0;
        return n;
    }

    RecordingOutput out;
    StatsBook book;
    std::unique_ptr<Room> room;
    QHash<ConnId, QString> addressOf;
};

TEST_F(RoomBoundsTest, ReReserversFromAFewAddressesCannotKeepTheSeatsFromARealUser) {
    makeRoom(20);  // 40 seats
    // 40 hall connections from four addresses, each asking for a seat again and again.
    for (int i = 0; i < 40; ++i)
        enter(100 + i, QStringLiteral("占座%1").arg(i), QStringLiteral("198.51.100.%1").arg(i % 4));
    int realTries = 0, realSeated = 0;
    for (qint64 t = 0; t <= 10 * 60'000; t += 1000) {
        room->advanceTo(t);
        for (int i = 0; i < 40; ++i)
            reserveAnySeat(100 + i);
        if (t % 10'000 == 0) {
            // Every ten seconds somebody else comes to play (and does not stay).
            const ConnId real = 1000 + realTries;
            enter(real, QStringLiteral("棋友%1").arg(realTries),
                  QStringLiteral("203.0.113.%1").arg(realTries % 200));
            ++realTries;
            const auto a = reserveAnySeat(real);
            if (a && a->granted) ++realSeated;
            room->disconnect(real);
        }
    }
    EXPECT_EQ(realSeated, realTries);
}

TEST_F(RoomBoundsTest, ANameWhoseSeatsLapseWaitsLongerEachTimeUntilHeUsesAGrant) {
    makeRoom(1);
    // Behind a gateway the address says nothing: the names alone are held.
    enter(101, QStringLiteral("甲"), QString());
    enter(102, QStringLiteral("乙"), QString());
    enter(103, QStringLiteral("丙"), QString());
    room->receive(101, hall::reserveSeat(1, 0));
    room->receive(102, hall::reserveSeat(1, 1));
    ASSERT_TRUE(answer(101)->granted && answer(102)->granted);

    struct Try {
        qint64 at;
        ConnId who;
        bool granted;
        const char* reason;
    };
    const Try tries[] = {
        {60'000, 101, false, "你预订的座位没有使用，请30秒后再预订"},
        {60'000, 103, true, ""},  // the seat lapsed is somebody else's now
        {89'000, 102, false, "你预订的座位没有使用，请1秒后再预订"},
        {90'000, 101, true, ""},
        {150'000, 101, false, "你预订的座位没有使用，请60秒后再预订"},  // twice as long
        {209'000, 101, false, "你预订的座位没有使用，请1秒后再预订"},
        {210'000, 101, true, ""},
    };
    for (const Try& t : tries) {
        room->advanceTo(t.at);
        room->receive(t.who, hall::reserveSeat(1, 0));
        if (!answer(t.who)->granted) room->receive(t.who, hall::reserveSeat(1, 1));
        const auto a = answer(t.who);
        ASSERT_TRUE(a) << t.at;
        EXPECT_EQ(a->granted, t.granted) << t.at << " " << t.who;
        if (!t.granted) EXPECT_EQ(a->reason, QString::fromUtf8(t.reason)) << t.at;
    }
    // He uses this one: after a later lapse he waits only the first time's wait again.
    ASSERT_TRUE(room->tableLogin(201, QStringLiteral("甲"), true, answer(101)->ticket));
    room->receive(201, Text({110, 0}, QStringLiteral("甲")));  // leaves the table
    room->disconnect(201);
    room->advanceTo(211'000);
    room->receive(101, hall::reserveSeat(1, 0));
    ASSERT_TRUE(answer(101)->granted) << answer(101)->reason.toStdString();
    room->advanceTo(271'000);
    room->receive(101, hall::reserveSeat(1, 0));
    EXPECT_EQ(answer(101)->reason, QStringLiteral("你预订的座位没有使用，请30秒后再预订"));
}

TEST_F(RoomBoundsTest, OneAddressHoldsTwoSeatsAtATimeWatchingIsNotCounted) {
    makeRoom(3);
    const QString home = QStringLiteral("2001:db8:5:6::/64");
    for (int i = 0; i < 4; ++i)
        enter(101 + i, QStringLiteral("家%1").arg(i), home);
    enter(110, QStringLiteral("外"), QStringLiteral("192.0.2.9"));
    room->receive(101, hall::reserveSeat(1, 0));
    room->receive(102, hall::reserveSeat(1, 1));
    ASSERT_TRUE(answer(101)->granted && answer(102)->granted) << "two friends at one table";
    room->receive(103, hall::reserveSeat(2, 0));
    EXPECT_EQ(answer(103)->reason, QStringLiteral("你所在的网络地址已预订了2个座位，请先入座"));
    room->receive(110, hall::reserveSeat(2, 0));
    EXPECT_TRUE(answer(110)->granted) << "another address is not held to it";
    ASSERT_TRUE(room->tableLogin(201, QStringLiteral("家0"), true, answer(101)->ticket));
    room->receive(103, hall::reserveWatch(1));
    EXPECT_TRUE(answer(103)->granted);
    room->receive(104, hall::reserveSeat(3, 0));
    EXPECT_TRUE(answer(104)->granted) << "a seat taken up is no longer a reservation";
}

TEST_F(RoomBoundsTest, FreshHallConnectionsAndReconnectionsGetNoFreshChatAllowance) {
    const struct {
        const char* what;
        bool freshNames;  // else one name coming back again and again
        const char* address;
    } cases[] = {
        {"fresh names from one address", true, "198.51.100.7"},
        {"one name reconnecting, no address", false, ""},
        {"one name reconnecting from fresh addresses", false, nullptr},
    };
    for (const auto& c : cases) {
        out = RecordingOutput{};
        makeRoom(1);
        enter(1, QStringLiteral("听众"), QStringLiteral("192.0.2.1"));
        for (int i = 0; i < 30; ++i) {
            const ConnId id = 100 + i;
            const QString name =
                c.freshNames ? QStringLiteral("过客%1").arg(i) : QStringLiteral("常客");
            const QString address =
                c.address ? QString::fromLatin1(c.address) : QStringLiteral("203.0.113.%1").arg(i);
            enter(id, name, address);  // the same name with its ticket replaces the older one
            for (int line = 0; line < 3; ++line)
                room->receive(id, hall::say(QStringLiteral("刷屏")));
        }
        EXPECT_EQ(chatLinesTo(1, hall::code::kChat), 2) << c.what << ": one burst of two";
        room->advanceTo(1000);
        room->receive(129, hall::say(QStringLiteral("再来")));
        EXPECT_EQ(chatLinesTo(1, hall::code::kChat), 3) << c.what << ": one more a second later";
    }
}

TEST_F(RoomBoundsTest, TableChatIsHeldPerNameAndAddressAcrossConnections) {
    makeRoom(1);
    const QString all = QStringLiteral("所有人");
    const auto line = [&](const QString& from) {
        return Text({1}, QStringList{from, all, from, all, QStringLiteral("12:00:00"),
                                     QStringLiteral("刷屏"), QStringLiteral("#000000"),
                                     QStringLiteral("3"), QStringLiteral("0"), QString()}
                             .join(u'`'));
    };
    addressOf.insert(1, QStringLiteral("192.0.2.1"));
    ASSERT_TRUE(room->tableLogin(1, QStringLiteral("甲"), true, QString()));
    // Spectators of one address, each a fresh name, each saying three lines.
    for (int i = 0; i < 10; ++i) {
        const ConnId id = 10 + i;
        const QString name = QStringLiteral("看客%1").arg(i);
        addressOf.insert(id, QStringLiteral("198.51.100.7"));
        ASSERT_TRUE(room->tableLogin(id, name, true, QString()));
        for (int n = 0; n < 3; ++n)
            room->receive(id, line(name));
    }
    // One name reconnecting from fresh addresses.
    for (int i = 0; i < 10; ++i) {
        const ConnId id = 30 + i;
        addressOf.insert(id, QStringLiteral("203.0.113.%1").arg(i));
        ASSERT_TRUE(room->tableLogin(id, QStringLiteral("乙"), true, QString()));
        for (int n = 0; n < 3; ++n)
            room->receive(id, line(QStringLiteral("乙")));
        room->disconnect(id);
    }
    EXPECT_EQ(chatLinesTo(1, 1), 4) << "a burst of two for the address, two for the name";
}

}  // namespace
}  // namespace xq::server::test

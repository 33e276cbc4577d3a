#include "table_harness.h"

namespace xq::server::test {
namespace {

using TablePresenceTest = TableFixture;

TEST_F(TablePresenceTest, APlayerBackWithinAMinuteGetsTheSameGame) {
    startGame();
    login(10, QStringLiteral("王五"));
    playAll({{7, 7, 7, 4}, {0, 1, 2, 2}, {7, 4, 3, 4}});
    out.clear();
    table.disconnect(kGuest);
    EXPECT_EQ(inbox(kOwner), (QList<Cmd>{Text({108, 3}, guest)}));
    EXPECT_EQ(inbox(10), (QList<Cmd>{Text({108, 3}, guest)}));
    EXPECT_TRUE(table.offline(1));
    advance(59'000);
    EXPECT_EQ(table.phase(), TablePhase::Playing);

    out.clear();
    ASSERT_TRUE(table.login(7, guest, true));
    conn[1] = 7;
    EXPECT_EQ(inbox(kOwner), (QList<Cmd>{Text({108, 0}, guest)}));
    const QList<Cmd> got = inbox(7);
    ASSERT_EQ(got.size(), 3);
    EXPECT_EQ(got[0], Text({130, 3}, guest + u'`' + guest));
    EXPECT_TRUE(got[1].contains(encodeCp936(guest + QStringLiteral("`10002`"))));
    const Cmd& snap = got[2];
    ASSERT_EQ(snap.size(), 22 + 3 * 4);
    // Black's clock ran while he was away: 59 s, 30 of them free.
    EXPECT_EQ(snap.mid(16, 6), Bytes({0, 0, 0, 0, 0, 30}));
    QiPuHistory h;
    resetQiPu(h);
    for (qsizetype i = 22; i + 3 < snap.size(); i += 4)
        h.push_back(QiPuItem{byteAt(snap, i), byteAt(snap, i + 1), byteAt(snap, i + 2),
                             byteAt(snap, i + 3)});
    QiPan rebuilt{};
    replayQiPu(h, rebuilt);
    EXPECT_EQ(rebuilt, table.game().board());
    EXPECT_EQ(byteAt(snap, 5), 1) << "black to move";

    advance(10'000);
    EXPECT_EQ(table.phase(), TablePhase::Playing) << "the minute no longer runs";
    ASSERT_TRUE(play({0, 7, 2, 6}));
}

TEST_F(TablePresenceTest, APlayerWhoStaysAwayLosesByEscape) {
    startGame(QStringLiteral("300`1000`10`20`50`0`1`0`0`0`30"));
    playTwoEach();  // an escape from a game that counts
    login(10, QStringLiteral("王五"));
    ASSERT_TRUE(play({7, 7, 7, 4}));
    say(kGuest, Bytes({21, 0, 1}));  // a draw offer pending on the owner
    table.disconnect(kOwner);
    EXPECT_EQ(inbox(kGuest).last(), Text({108, 3}, owner));
    out.clear();
    advance(RoomTable::kComebackMs);
    EXPECT_EQ(table.phase(), TablePhase::Waiting);
    Cmd end = Bytes({25});
    end.append(QByteArray(8, '\0'));
    PutLongToCmd(-20, end, 1);
    PutLongToCmd(300, end, 5);
    end.append('\0');
    end.append(encodeCp936(u"逃跑"));
    const QList<Cmd> got = inbox(kGuest);
    ASSERT_EQ(got.size(), 5);
    EXPECT_EQ(got[0], end);
    EXPECT_TRUE(got[1].startsWith(
        Text({108, 6}, owner + QStringLiteral("`10001`980`980``1`0`100`0`1`0`0`"))));
    EXPECT_TRUE(got[2].startsWith(
        Text({108, 6}, guest + QStringLiteral("`10002`1300`1300``1`100`0`1`0`0`0`"))));
    EXPECT_EQ(got[3], Text({110, 0}, owner));
    EXPECT_EQ(got[4], Text({111, 0}, QStringLiteral("1`0`0`0`0")));
    EXPECT_EQ(inbox(10), got);
    EXPECT_EQ(table.seatName(0), QString());
    EXPECT_EQ(table.tally(1), 0) << "the tally is forgotten with the table";

    // Coming back later is a fresh arrival at the free seat.
    login(11, owner);
    EXPECT_EQ(table.seatOf(11), 0);
}

TEST_F(TablePresenceTest, LeavingDuringAGameIsAnEscapeAtOnce) {
    startGame(QStringLiteral("300`1000`10`20`50`0`1`0`0`0`30"));
    playTwoEach();  // an escape from a game that counts
    login(10, QStringLiteral("王五"));
    ASSERT_TRUE(play({7, 7, 7, 4}));
    out.clear();
    say(kGuest, Text({110, 0}, guest));
    // No minute of grace: the one who stays wins now, and cannot lose on time meanwhile.
    Cmd end = Bytes({25});
    end.append(QByteArray(8, '\0'));
    PutLongToCmd(300, end, 1);
    PutLongToCmd(-20, end, 5);
    end.append('\1');
    end.append(encodeCp936(u"逃跑"));
    ASSERT_FALSE(inbox(kOwner).isEmpty());
    EXPECT_EQ(inbox(kOwner).first(), end);
    EXPECT_EQ(inbox(10).first(), end);
    EXPECT_TRUE(inbox(kGuest).isEmpty()) << "the one who left hears nothing more";
    EXPECT_EQ(out.closed, (QList<ConnId>{kGuest}));
    EXPECT_EQ(table.stats().find(guest)->escapes, 1);
    EXPECT_EQ(table.phase(), TablePhase::Waiting);
    advance(RoomTable::kComebackMs + 10'000);
    EXPECT_EQ(count(kOwner, 25), 1) << "no second end when the minute would have run out";
}

TEST_F(TablePresenceTest, LeavingOutsideAGameFreesTheSeatAtOnce) {
    struct Case {
        const char* name;
        bool viaMessage;
    };
    for (const Case c : {Case{"leave message", true}, Case{"lost connection", false}}) {
        SCOPED_TRACE(c.name);
        RecordingOutput o;
        RoomTable t(o);
        t.login(kOwner, owner, true);
        t.login(kGuest, guest, true);
        t.login(10, QStringLiteral("王五"), true);
        t.receive(kGuest, Bytes({23, 0, 1}));  // a load request that the owner must answer
        o.clear();
        if (c.viaMessage) {
            t.receive(kOwner, Text({110, 0}, owner));
            EXPECT_EQ(o.closed, (QList<ConnId>{kOwner}));
        } else {
            t.disconnect(kOwner);
            EXPECT_TRUE(o.closed.isEmpty());
        }
        const QList<Cmd> expected = {Bytes({23, 1, 0}), Text({110, 0}, owner),
                                     Text({111, 0}, QStringLiteral("1`0`0`0`0"))};
        EXPECT_EQ(o.inbox.value(kGuest), expected);
        EXPECT_EQ(o.inbox.value(10), expected);
        EXPECT_TRUE(o.inbox.value(kOwner).isEmpty());
        EXPECT_FALSE(t.seatOf(kOwner).has_value());
    }
}

TEST_F(TablePresenceTest, SpectatorsComeAndGoWithoutTouchingTheGame) {
    startGame();
    login(10, QStringLiteral("王五"));
    login(11, QStringLiteral("赵六"));
    out.clear();
    table.disconnect(10);
    say(11, Text({110, 0}, QStringLiteral("赵六")));
    EXPECT_EQ(inbox(kOwner), (QList<Cmd>{Text({108, 4}, QStringLiteral("王五")),
                                         Text({108, 4}, QStringLiteral("赵六"))}));
    EXPECT_EQ(out.closed, (QList<ConnId>{11}));
    EXPECT_EQ(table.phase(), TablePhase::Playing);
    table.disconnect(10);  // again: nothing
    table.disconnect(99);
    EXPECT_EQ(count(kOwner, 108), 2);
}

TEST_F(TablePresenceTest, BothPlayersAwayEndTheGameOnce) {
    startGame();
    playTwoEach();  // an escape from a game that counts
    table.disconnect(kOwner);
    advance(10'000);
    table.disconnect(kGuest);
    login(10, QStringLiteral("王五"));
    EXPECT_EQ(last(10, 109)->left(3), Bytes({109, 0, 1}));
    advance(50'000);
    EXPECT_EQ(table.phase(), TablePhase::Waiting);
    EXPECT_EQ(table.stats().find(owner)->escapes, 1);
    advance(10'000);
    EXPECT_EQ(table.stats().find(guest)->escapes, 0);
    EXPECT_EQ(table.seatName(1), QString());
    EXPECT_EQ(count(10, 25), 1);
}

TEST_F(TablePresenceTest, NoSettingsStageWithAPlayerAway) {
    startGame();
    table.disconnect(kGuest);
    say(kOwner, Bytes({22, 0, 0}));  // the game ends while the guest is away
    advance(1'000);
    login(10, QStringLiteral("王五"));
    say(kOwner, Text({110, 0}, owner));  // back to waiting; the guest's minute still runs
    login(11, QStringLiteral("赵六"));
    EXPECT_EQ(table.seatOf(11), 0);
    say(11, Text({112, 1}, QStringLiteral("赵六")));
    EXPECT_EQ(table.phase(), TablePhase::Waiting);
    ASSERT_TRUE(table.login(12, guest, true));
    EXPECT_EQ(table.seatOf(12), 1) << "he takes his seat back";
    EXPECT_EQ(table.phase(), TablePhase::Settings) << "a hand is up and both are there";
    EXPECT_EQ(last(12, 111), Text({111, 0}, QStringLiteral("1`1`0`0`0`1`0`") + kDefaultTerms));
}

}  // namespace
}  // namespace xq::server::test

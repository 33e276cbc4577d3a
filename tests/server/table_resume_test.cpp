#include "table_harness.h"

namespace xq::server::test {
namespace {

using TableResumeTest = TableFixture;

TEST_F(TableResumeTest, AKeptGameGoesOnWhenBothAreBack) {
    startGame();
    playAll({{7, 7, 7, 4}, {0, 1, 2, 2}, {7, 4, 3, 4}});
    advance(4'000);  // black thinks 4 s: still within his free time
    const auto kept = table.runningGame();
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->names, (std::array<QString, 2>{owner, guest}));
    EXPECT_EQ(kept->table, table.number());

    // The restarted server: a new table, the same game.
    RecordingOutput out2;
    RoomTable again(out2);
    again.advanceTo(500'000);
    ASSERT_TRUE(again.resume(*kept));
    EXPECT_EQ(again.phase(), TablePhase::Playing);
    EXPECT_TRUE(again.waitingForResume());
    EXPECT_EQ(again.game().board(), table.game().board());
    EXPECT_EQ(again.game().toMove(), table.game().toMove());
    EXPECT_TRUE(again.offline(0) && again.offline(1));
    EXPECT_EQ(again.runningGame(), kept) << "what is kept again is the same";

    // Ten minutes at most; the clock stands still meanwhile.
    again.advanceTo(500'000 + 9 * 60'000);
    EXPECT_EQ(again.phase(), TablePhase::Playing);
    // Black, to move, is back first: he may not move while his opponent is away.
    ASSERT_TRUE(again.login(12, guest, true));
    const QiPan& b = again.game().board();
    const Cmd move = Bytes(
        {19, 0, 1, packPoint(0, 7), pieceAt(b, 0, 7), packPoint(2, 6), pieceAt(b, 2, 6), 0, 0, 0});
    const long before = again.game().halfMoves();
    again.receive(12, move);
    EXPECT_EQ(again.game().halfMoves(), before);
    // The snapshot he got carries the banks as kept, not the minutes the server was down.
    const QList<Cmd> got = out2.inbox.value(12);
    ASSERT_GE(got.size(), 3);
    const Cmd& snap = got[2];
    ASSERT_EQ(byteAt(snap, 0), 109);
    EXPECT_EQ(snap.mid(16, 6), Bytes({0, 0, 0, 0, 0, 0}));
    ASSERT_TRUE(again.login(11, owner, true));
    EXPECT_FALSE(again.waitingForResume());
    again.receive(12, move);
    EXPECT_EQ(again.game().halfMoves(), before + 1);
}

TEST_F(TableResumeTest, WhoStaysAwayFromAKeptGame) {
    struct Case {
        const char* what;
        bool ownerBack;
        bool guestBack;
        TablePhase after;
        bool ranAway;  // the guest, scored as an escape
    };
    const Case cases[] = {
        {"neither: the game is dropped, nobody loses", false, false, TablePhase::Waiting, false},
        {"the guest stays away: he ran away", true, false, TablePhase::Waiting, true},
        {"both back: the game goes on", true, true, TablePhase::Playing, false},
    };
    startGame();
    // Two moves each: a game that counts, so that running away from it costs.
    playAll({kShuffle[0], kShuffle[1], kShuffle[2], kShuffle[3]});
    const auto kept = table.runningGame();
    ASSERT_TRUE(kept);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingOutput o;
        RoomTable t(o);
        ASSERT_TRUE(t.resume(*kept));
        if (c.ownerBack) ASSERT_TRUE(t.login(21, owner, true));
        if (c.guestBack) ASSERT_TRUE(t.login(22, guest, true));
        t.advanceTo(RoomTable::kResumeComebackMs);
        EXPECT_EQ(t.phase(), c.after);
        const UserStats* o0 = t.stats().find(owner);
        if (c.ranAway) {
            ASSERT_NE(o0, nullptr);
            EXPECT_EQ(o0->won, 1);
            EXPECT_EQ(t.stats().find(guest)->escapes, 1);
            EXPECT_TRUE(t.seatName(1).isEmpty());
        } else {
            EXPECT_TRUE(o0 == nullptr || o0->games == 0) << "nobody was scored";
        }
    }
}

TEST_F(TableResumeTest, AGameBegunUnratedStaysUnratedOverARestart) {
    startGame();
    playAll({kShuffle[0], kShuffle[1], kShuffle[2], kShuffle[3]});
    for (const bool rated : {true, false}) {
        SCOPED_TRACE(rated ? "rated" : "begun while the store took no results");
        RunningGame kept = *table.runningGame();
        EXPECT_TRUE(kept.rated);
        kept.rated = rated;
        RecordingOutput o;
        RoomTable t(o);
        ASSERT_TRUE(t.resume(kept));
        ASSERT_TRUE(t.login(31, owner, true));
        ASSERT_TRUE(t.login(32, guest, true));
        t.receive(31, Bytes({22, 0, 0}));  // the owner resigns
        ASSERT_EQ(t.phase(), TablePhase::BetweenGames);
        const UserStats* winner = t.stats().find(guest);
        EXPECT_EQ(winner != nullptr && winner->won == 1, rated);
    }
}

TEST_F(TableResumeTest, AKeptGameThatCannotBeTrueIsRefused) {
    startGame();
    playAll({{7, 7, 7, 4}, {0, 1, 2, 2}});
    const RunningGame good = *table.runningGame();
    struct Case {
        const char* what;
        RunningGame game;
    };
    std::vector<Case> cases;
    auto with = [&](const char* what, auto change) {
        RunningGame g = good;
        change(g);
        cases.push_back({what, g});
    };
    with("a record that does not replay", [](RunningGame& g) { g.moves = "7 7 7 4\r\n"; });
    with("garbage for moves", [](RunningGame& g) { g.moves = QByteArray(40, '\xff'); });
    with("terms that are not terms", [](RunningGame& g) { g.terms = QStringLiteral("1`2"); });
    with("no name in a seat", [](RunningGame& g) { g.names[1].clear(); });
    with("the same name twice", [](RunningGame& g) { g.names[1] = g.names[0]; });
    with("a red seat out of range", [](RunningGame& g) { g.redSeat = 7; });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingOutput o;
        RoomTable t(o);
        EXPECT_FALSE(t.resume(c.game));
        EXPECT_EQ(t.phase(), TablePhase::Waiting);
        EXPECT_TRUE(t.seatName(0).isEmpty() && t.seatName(1).isEmpty());
    }
    // A table that is not empty takes no kept game.
    EXPECT_FALSE(table.resume(good));
}

}  // namespace
}  // namespace xq::server::test

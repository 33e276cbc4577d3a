#include "../support/chunk_frames.h"
#include "net/table_requests.h"
#include "table_harness.h"

namespace xq::server::test {
namespace {

class TableLoadTest : public TableFixture {
protected:
    // Horses out and back: a record of any length that never ends a game.
    static QiPuHistory ShuffleRecord(int halfMoves) {
        QiPan b{};
        InitQiPan(b);
        QiPuHistory h;
        resetQiPu(h);
        for (int i = 0; i < halfMoves; ++i) {
            const Step& s = kShuffle[static_cast<std::size_t>(i % 4)];
            AddQiPu(h, s[0], s[1], b[s[0]][s[1]], s[2], s[3], 0);
            b[s[2]][s[3]] = b[s[0]][s[1]];
            b[s[0]][s[1]] = 0;
        }
        return h;
    }

    // Both seated, a game played and lost by the owner, and the owner's load agreed.
    void agreedLoad() {
        startGame();
        say(kOwner, Bytes({22, 0, 0}));
        say(kOwner, Bytes({23, 0, 0}));
        say(kGuest, Bytes({23, 2, 1}));
        ASSERT_EQ(table.phase(), TablePhase::Loading);
        out.clear();
    }
};

TEST_F(TableLoadTest, ARecordInThreeChunksIsReplayedAndPlayedOn) {
    agreedLoad();
    login(10, QStringLiteral("王五"));
    EXPECT_EQ(last(10, 109),
              Bytes({109, 0, 1, 0, 1, 10, 0, 30, 0, 0, 0, 30, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}))
        << "a newcomer waits for the owner's record";
    const QiPuHistory record = ShuffleRecord(121);
    const auto chunks = xq::test::ChunkFrames(0, record);
    ASSERT_EQ(chunks.size(), 3u);
    for (const Cmd& c : chunks)
        say(kOwner, c);
    ASSERT_EQ(table.phase(), TablePhase::Playing);
    EXPECT_EQ(table.game().history(), record);
    // Red is the guest (the colours swapped after the first game); red made the last move.
    EXPECT_EQ(table.game().redSeat(), 1);
    EXPECT_EQ(table.game().toMove(), 0);
    for (ConnId id : {kOwner, kGuest, ConnId{10}}) {
        const QList<Cmd> got = inbox(id);
        ASSERT_GE(got.size(), 2);
        EXPECT_EQ(got[got.size() - 2].size(), 2 + 4 * 121);
        EXPECT_EQ(got[got.size() - 2].left(6), Bytes({23, 3, 0x91, 18, 0x72, 0}));
        EXPECT_EQ(got.last().left(6), Bytes({109, 0, 1, 0, 1, 0}));
        EXPECT_EQ(got.last().size(), 22 + 4 * 121);
    }
    ASSERT_TRUE(play({0, 1, 2, 2}));
    EXPECT_EQ(table.game().halfMoves(), 122);
}

TEST_F(TableLoadTest, BadRecordsAreRefusedToEverybody) {
    auto chunksOf = [](const QiPuHistory& h) { return xq::test::ChunkFrames(0, h); };
    QiPuHistory wrongColour = ShuffleRecord(3);
    std::swap(wrongColour[1], wrongColour[2]);
    QiPuHistory wrongPiece = ShuffleRecord(60);
    wrongPiece[55].bteQiZi = 19;
    QiPuHistory mate;
    resetQiPu(mate);
    {
        QiPan b{};
        InitQiPan(b);
        for (const Step& s : kMateLine) {
            AddQiPu(mate, s[0], s[1], b[s[0]][s[1]], s[2], s[3], 0);
            b[s[2]][s[3]] = b[s[0]][s[1]];
            b[s[0]][s[1]] = 0;
        }
    }
    auto outOfOrder = chunksOf(ShuffleRecord(120));
    std::swap(outOfOrder[1], outOfOrder[2]);
    auto truncated = chunksOf(ShuffleRecord(60));
    truncated[1].chop(2);
    const std::vector<Cmd> cases[] = {
        chunksOf(wrongColour),
        chunksOf(wrongPiece),
        chunksOf(mate),
        outOfOrder,
        truncated,
        {tablemsg::encode(tablemsg::LoadAbandoned{0})},
        {chunksOf(ShuffleRecord(60))[0], tablemsg::encode(tablemsg::LoadAbandoned{0})},
    };
    for (const auto& chunks : cases) {
        RecordingOutput o;
        RoomTable t(o);
        t.login(kOwner, owner, true);
        t.login(kGuest, guest, true);
        t.receive(kOwner, Text({112, 1}, owner));
        t.receive(kOwner, Text({112, 0}, owner + u'`' + kDefaultTerms));
        t.receive(kGuest, Text({112, 1}, guest));
        t.receive(kOwner, Bytes({22, 0, 0}));
        t.receive(kGuest, Bytes({23, 0, 1}));
        t.receive(kOwner, Bytes({23, 2, 0}));
        ASSERT_EQ(t.phase(), TablePhase::Loading);
        o.clear();
        t.receive(kOwner, chunksOf(ShuffleRecord(2))[0]);  // not the asker's
        EXPECT_EQ(t.phase(), TablePhase::Loading);
        for (const Cmd& c : chunks)
            t.receive(kGuest, Cmd(c).replace(2, 1, QByteArray(1, '\x01')));
        EXPECT_EQ(t.phase(), TablePhase::BetweenGames);
        for (ConnId id : {kOwner, kGuest})
            EXPECT_EQ(o.inbox.value(id), (QList<Cmd>{Bytes({23, 4, 1})}));
        t.receive(kOwner, Bytes({18, 0}));
        t.receive(kGuest, Bytes({18, 1}));
        EXPECT_EQ(t.phase(), TablePhase::Playing) << "the table plays on";
    }
}

TEST_F(TableLoadTest, OnlyTheAskersOwnChunksMoveTheUpload) {
    const Cmd good = xq::test::ChunkFrames(1, ShuffleRecord(60))[0];
    Cmd otherSeat = good;
    otherSeat[2] = 0;
    const struct {
        const char* name;
        ConnId from;
        Cmd frame;
        bool ends;
    } cases[] = {
        {"a broken chunk of the other player", kOwner, Bytes({23, 3, 0, 0, 0}), false},
        {"the asker's chunk for the other seat", kGuest, otherSeat, false},
        {"a broken chunk for the other seat", kGuest, Bytes({23, 3, 0, 0, 0}), false},
        {"a chunk without a seat", kGuest, Bytes({23, 3}), false},
        {"a chunk of seat 7", kGuest, Bytes({23, 3, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0}), false},
        {"the asker's short header", kGuest, Bytes({23, 3, 1, 0, 0, 0}), true},
        {"the other player giving up", kOwner, tablemsg::encode(tablemsg::LoadAbandoned{0}), false},
        {"the asker giving up", kGuest, tablemsg::encode(tablemsg::LoadAbandoned{1}), true},
    };
    for (const auto& c : cases) {
        RecordingOutput o;
        RoomTable t(o);
        t.login(kOwner, owner, true);
        t.login(kGuest, guest, true);
        t.receive(kOwner, Text({112, 1}, owner));
        t.receive(kOwner, Text({112, 0}, owner + u'`' + kDefaultTerms));
        t.receive(kGuest, Text({112, 1}, guest));
        t.receive(kOwner, Bytes({22, 0, 0}));
        t.receive(kGuest, Bytes({23, 0, 1}));
        t.receive(kOwner, Bytes({23, 2, 0}));
        ASSERT_EQ(t.phase(), TablePhase::Loading) << c.name;
        t.receive(c.from, c.frame);
        EXPECT_EQ(t.phase(), c.ends ? TablePhase::BetweenGames : TablePhase::Loading) << c.name;
        if (c.ends) continue;
        t.receive(kGuest, good);
        EXPECT_EQ(t.phase(), TablePhase::Loading) << c.name << ": the upload goes on";
    }
}

TEST_F(TableLoadTest, RequestsAnswersAndTheDeadline) {
    startGame();
    say(kOwner, Bytes({23, 0, 0}));
    EXPECT_EQ(count(kGuest, 23), 0) << "no load during a game";
    say(kOwner, Bytes({22, 0, 0}));
    out.clear();
    say(kGuest, Bytes({18, 1}));
    say(kOwner, Bytes({23, 0, 0}));
    EXPECT_EQ(inbox(kGuest).last(), Bytes({23, 4, 0})) << "refused while a hand is up";
    nextGame();
    say(kOwner, Bytes({22, 0, 0}));
    out.clear();
    say(kOwner, Bytes({23, 0, 0}));
    EXPECT_EQ(inbox(kGuest), (QList<Cmd>{Bytes({23, 0, 0})}));
    say(kGuest, Bytes({23, 1, 1}));
    EXPECT_EQ(inbox(kOwner).last(), Bytes({23, 1, 1}));
    EXPECT_EQ(table.phase(), TablePhase::BetweenGames);

    say(kOwner, Bytes({23, 0, 0}));
    say(kGuest, Bytes({23, 2, 1}));
    EXPECT_EQ(inbox(kOwner).last(), Bytes({23, 2, 1}));
    say(kOwner, xq::test::ChunkFrames(0, ShuffleRecord(60))[0]);
    advance(RoomTable::kLoadMs - 1);
    EXPECT_EQ(table.phase(), TablePhase::Loading);
    advance(1);
    EXPECT_EQ(table.phase(), TablePhase::BetweenGames);
    EXPECT_EQ(inbox(kGuest).last(), Bytes({23, 4, 0}));
}

TEST_F(TableLoadTest, ALoadBeforeAnyTermsPlaysWithTheDefaults) {
    seatBoth();
    say(kGuest, Bytes({23, 0, 1}));
    say(kOwner, Bytes({23, 2, 0}));
    ASSERT_EQ(table.phase(), TablePhase::Loading);
    for (const Cmd& c : xq::test::ChunkFrames(1, ShuffleRecord(4)))
        say(kGuest, c);
    ASSERT_EQ(table.phase(), TablePhase::Playing);
    EXPECT_EQ(table.game().redSeat(), 0);
    EXPECT_EQ(table.agreedTerms(), TableTerms::defaults());
    say(kGuest, Bytes({22, 0, 1}));
    EXPECT_EQ(table.phase(), TablePhase::BetweenGames);

    // Without terms a failed load leaves the table waiting for players.
    RecordingOutput o;
    RoomTable t(o);
    t.login(kOwner, owner, true);
    t.login(kGuest, guest, true);
    t.receive(kGuest, Bytes({23, 0, 1}));
    t.receive(kOwner, Bytes({23, 2, 0}));
    t.receive(kGuest, tablemsg::encode(tablemsg::LoadAbandoned{1}));
    EXPECT_EQ(t.phase(), TablePhase::Waiting);
}

TEST_F(TableLoadTest, ALoadedRecordsMovesDoNotMakeTheGameCount) {
    agreedLoad();
    for (const Cmd& c : xq::test::ChunkFrames(0, ShuffleRecord(40)))
        say(kOwner, c);
    ASSERT_EQ(table.phase(), TablePhase::Playing);
    const int gamesBefore = table.stats().find(owner)->games;
    // Forty half-moves on the board, none of them played here: resigning at once counts nothing.
    say(moverConn(), Bytes({22, 0, table.game().toMove()}));
    const auto end = last(kOwner, 25);
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->mid(1, 8), Bytes({0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(table.stats().find(owner)->games, gamesBefore);
}

}  // namespace
}  // namespace xq::server::test

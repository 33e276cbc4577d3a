#include "table_harness.h"

namespace xq::server::test {
namespace {

using TableGameTest = TableFixture;

TEST_F(TableGameTest, ALegalMoveIsEchoedWithTheServersPiecesAndBank) {
    startGame();
    login(10, QStringLiteral("王五"));
    out.clear();
    advance(35'000);  // 6 s charged to red's bank
    // The sender's piece, capture and clock bytes are not believed.
    say(kOwner, Bytes({19, 0, 0, packPoint(7, 7), 1, packPoint(7, 4), 9, 9, 9, 9}));
    const Cmd echo = Bytes({19, 0, 0, 0x77, 19, 0x74, 0, 0, 0, 6});
    for (ConnId id : {kOwner, kGuest, ConnId{10}})
        EXPECT_EQ(inbox(id), (QList<Cmd>{echo}));
    EXPECT_EQ(table.game().toMove(), 1);
    EXPECT_EQ(table.bankSeconds(0), 6);
}

TEST_F(TableGameTest, RefusedMovesGetANoticeToTheSenderOnly) {
    startGame();
    struct Case {
        ConnId from;
        Cmd move;
        const char16_t* reason;
    };
    const Case cases[] = {
        {kGuest, Bytes({19, 0, 1, 0x01, 2, 0x22, 0, 0, 0, 0}), u"还没轮到你走棋"},
        {kOwner, Bytes({19, 0, 0, 0x97, 17, 0x9A, 0, 0, 0, 0}), u"位置不在棋盘上"},
        {kOwner, Bytes({19, 0, 0, 0xA0, 0, 0x90, 0, 0, 0, 0}), u"位置不在棋盘上"},
        {kOwner, Bytes({19, 0, 0, 0x01, 2, 0x22, 0, 0, 0, 0}), u"起点没有你的棋子"},
        {kOwner, Bytes({19, 0, 0, 0x55, 0, 0x45, 0, 0, 0, 0}), u"起点没有你的棋子"},
        {kOwner, Bytes({19, 0, 0, 0x90, 17, 0x51, 0, 0, 0, 0}), u"不符合走棋规则"},
        {kOwner, Bytes({19, 0, 0, 0x94, 20, 0x84, 0, 0, 0, 0}), nullptr},  // legal: king up
    };
    for (const Case& c : cases) {
        out.clear();
        say(c.from, c.move);
        if (!c.reason) {
            EXPECT_EQ(count(kGuest, 19), 1);
            continue;
        }
        const ConnId other = c.from == kOwner ? kGuest : kOwner;
        EXPECT_EQ(
            inbox(c.from),
            (QList<Cmd>{Text({24}, QStringLiteral("走法无效：") + QString::fromUtf16(c.reason))}));
        EXPECT_TRUE(inbox(other).isEmpty());
        EXPECT_EQ(table.game().halfMoves(), 0);
    }
}

TEST_F(TableGameTest, GamesEndOnTheBoard) {
    struct Case {
        const char* name;
        std::initializer_list<Step> line;
        int loser;
        const char16_t* reason;
    };
    const Case cases[] = {
        {"king taken", kKingCaptureLine, 1, u"老将被吃"},
        {"checkmate", kMateLine, 1, u"被将死"},
        {"stalemate", kStalemateLine, 0, u"困毙"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingOutput o;
        RoomTable t(o);
        t.login(kOwner, owner, true);
        t.login(kGuest, guest, true);
        t.receive(kOwner, Text({112, 1}, owner));
        t.receive(kOwner, Text({112, 0}, owner + u'`' + kDefaultTerms));
        t.receive(kGuest, Text({112, 1}, guest));
        for (const Step& s : c.line) {
            ASSERT_EQ(t.phase(), TablePhase::Playing);
            const int seat = t.game().toMove();
            t.receive(seat == 0 ? kOwner : kGuest, Bytes({19, 0, seat, packPoint(s[0], s[1]), 0,
                                                          packPoint(s[2], s[3]), 0, 0, 0, 0}));
        }
        EXPECT_EQ(t.phase(), TablePhase::BetweenGames);
        const int winner = 1 - c.loser;
        qint32 score[2];
        score[c.loser] = -100;
        score[winner] = 100;
        Cmd end = Bytes({25});
        end.append(QByteArray(8, '\0'));
        PutLongToCmd(score[0], end, 1);
        PutLongToCmd(score[1], end, 5);
        end.append(static_cast<char>(c.loser));
        end.append(encodeCp936(QString::fromUtf16(c.reason)));
        const QList<Cmd> got = o.inbox.value(kOwner);
        const auto at = got.indexOf(end);
        ASSERT_GE(at, 0);
        ASSERT_EQ(got.size(), at + 3) << "the end, then both rows";
        EXPECT_TRUE(got[at + 1].startsWith(Text({108, 6}, owner + u'`')));
        EXPECT_TRUE(got[at + 2].startsWith(Text({108, 6}, guest + u'`')));
        EXPECT_EQ(t.tally(winner), 1);
        EXPECT_EQ(t.stats().find(t.seatName(c.loser))->score, 900);
        EXPECT_EQ(t.stats().find(t.seatName(winner))->won, 1);
    }
}

TEST_F(TableGameTest, ResignationAndTimeOutEndTheGameForTheSender) {
    struct Case {
        ConnId from;
        Cmd msg;
        int loser;
        const char16_t* reason;
    };
    const Case cases[] = {
        {kOwner, Bytes({22, 0, 0}), 0, u"认输"},
        {kGuest, Bytes({22, 0, 1}), 1, u"认输"},  // also when not to move
        {kGuest, Bytes({22, 1, 1}), 1, u"超时"},
    };
    for (const Case& c : cases) {
        RecordingOutput o;
        RoomTable t(o);
        t.login(kOwner, owner, true);
        t.login(kGuest, guest, true);
        t.receive(kOwner, Text({112, 1}, owner));
        t.receive(kOwner, Text({112, 0}, owner + u'`' + kDefaultTerms));
        t.receive(kGuest, Text({112, 1}, guest));
        // Two moves each, so that the game counts and the players' rows follow the result.
        for (const Step& st : kShuffle) {
            const int seat = t.game().toMove();
            const QiPan& b = t.game().board();
            t.receive(seat == 0 ? kOwner : kGuest,
                      Bytes({19, 0, seat, packPoint(st[0], st[1]), pieceAt(b, st[0], st[1]),
                             packPoint(st[2], st[3]), 0, 0, 0, 0}));
        }
        ASSERT_EQ(t.game().halfMoves(), 4);
        t.receive(c.from == kOwner ? kGuest : kOwner, Bytes({22, 0, c.from == kOwner ? 0 : 1}));
        EXPECT_EQ(t.phase(), TablePhase::Playing) << "a resignation in the other's name";
        t.receive(c.from, c.msg);
        EXPECT_EQ(t.phase(), TablePhase::BetweenGames);
        const QList<Cmd> got = o.inbox.value(kGuest);
        const Cmd& end = got[got.size() - 3];
        EXPECT_EQ(byteAt(end, 9), c.loser);
        EXPECT_EQ(CmdToString(end, 10), QString::fromUtf16(c.reason));
    }
}

TEST_F(TableGameTest, TheServerCallsTheTimeOutWhenTheClientDoesNot) {
    // 1 minute of bank, 10 s per move: red's bank runs out 70 s into the move; five seconds of
    // grace follow.
    startGame(QStringLiteral("100`1000`10`5`50`0`0`1`0`0`10"));
    advance(74'999);
    EXPECT_EQ(table.phase(), TablePhase::Playing);
    advance(1);
    EXPECT_EQ(table.phase(), TablePhase::BetweenGames);
    const auto end = last(kGuest, 25);
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(byteAt(*end, 9), 0);
    EXPECT_EQ(CmdToString(*end, 10), QStringLiteral("超时（双方各走满两步才计分，本局不计分）"))
        << "red never moved: the game does not count";
}

TEST_F(TableGameTest, UndoAndDrawNeedTheOthersAnswer) {
    startGame();
    playAll({{7, 7, 7, 4}, {0, 1, 2, 2}, {7, 4, 3, 4}, {0, 7, 2, 6}});
    const QiPan afterTwo = [] {
        QiPan b{};
        InitQiPan(b);
        b[7][4] = b[7][7];
        b[7][7] = 0;
        b[2][2] = b[0][1];
        b[0][1] = 0;
        return b;
    }();
    out.clear();
    say(kGuest, Bytes({20, 0, 1}));  // not his turn
    say(kOwner, Bytes({20, 0, 1}));  // not his seat
    EXPECT_TRUE(inbox(kGuest).isEmpty());
    say(kOwner, Bytes({20, 0, 0}));
    EXPECT_EQ(inbox(kGuest), (QList<Cmd>{Bytes({20, 0, 0})}));
    EXPECT_TRUE(inbox(kOwner).isEmpty()) << "the asker is not asked his own question";
    say(kOwner, Bytes({21, 0, 0}));             // one request at a time
    say(kOwner, Bytes({20, 2, 0}));             // the asker cannot answer
    say(kGuest, Bytes({20, 3, 1}));             // no such answer
    say(kOwner, moveMessage(0, {9, 1, 7, 2}));  // no move while waiting for the answer
    EXPECT_EQ(last(kOwner, 24), Text({24}, QStringLiteral("走法无效：请等待对方答复")));
    say(kGuest, Bytes({20, 1, 1}));
    EXPECT_EQ(last(kOwner, 20), Bytes({20, 1, 1}));
    EXPECT_EQ(table.game().halfMoves(), 4);
    say(kOwner, Bytes({20, 0, 0}));
    say(kGuest, Bytes({20, 2, 1}));
    EXPECT_EQ(last(kOwner, 20), Bytes({20, 2, 1}));
    EXPECT_EQ(table.game().board(), afterTwo);
    EXPECT_EQ(table.game().toMove(), 0);

    say(kOwner, Bytes({21, 0, 0}));
    say(kGuest, Bytes({21, 1, 1}));
    EXPECT_EQ(last(kOwner, 21), Bytes({21, 1, 1}));
    EXPECT_EQ(table.phase(), TablePhase::Playing);
    say(kOwner, Bytes({21, 0, 0}));
    say(kGuest, Bytes({21, 2, 1}));
    EXPECT_EQ(table.phase(), TablePhase::BetweenGames);
    // The undo took two moves off: one each is left, too few for the draw to count.
    Cmd drawn = Bytes({25, 0, 0, 0, 0, 0, 0, 0, 0, 2});
    drawn.append(encodeCp936(u"双方同意和棋（双方各走满两步才计分，本局不计分）"));
    EXPECT_EQ(last(kGuest, 25), drawn);
    EXPECT_EQ(table.tally(0) + table.tally(1), 0);
    EXPECT_EQ(table.stats().find(owner)->games, 0);
    EXPECT_EQ(table.stats().find(owner)->drawn, 0);
}

TEST_F(TableGameTest, UndoNeedsTwoHalfMovesAndTheAskersTurn) {
    startGame();
    say(kOwner, Bytes({20, 0, 0}));
    ASSERT_TRUE(play({7, 7, 7, 4}));
    say(kGuest, Bytes({20, 0, 1}));
    EXPECT_EQ(count(kOwner, 20), 0);
    ASSERT_TRUE(play({0, 1, 2, 2}));
    say(kOwner, Bytes({20, 0, 0}));
    EXPECT_EQ(count(kGuest, 20), 1);
}

TEST_F(TableGameTest, AGameCountsOnlyAfterTwoMovesOfEachSide) {
    enum class End { Resign, Draw, Escape, TimeOut };
    const QString unrated = QStringLiteral("（双方各走满两步才计分，本局不计分）");
    struct Case {
        int halfMoves;
        End end;
        bool rated;
    };
    std::vector<Case> cases;
    for (End e : {End::Resign, End::Draw, End::Escape, End::TimeOut}) {
        // None, one of red's, one each, two of red's and one of black's, two each, and more.
        for (int h : {0, 1, 2, 3, 4, 5})
            cases.push_back({h, e, h >= 4});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "half-moves " << c.halfMoves << ", ending " << static_cast<int>(c.end));
        RecordingOutput o;
        RoomTable t(o);
        qint64 clock = 0;
        t.login(kOwner, owner, true);
        t.login(kGuest, guest, true);
        t.receive(kOwner, Text({112, 1}, owner));
        // A minute of bank: the server calls the time-out 75 s into a move.
        t.receive(kOwner, Text({112, 0}, owner + QStringLiteral("`100`1000`10`5`50`0`0`1`0`0`10")));
        t.receive(kGuest, Text({112, 1}, guest));
        ASSERT_EQ(t.phase(), TablePhase::Playing);
        const auto idOf = [](int seat) { return seat == 0 ? kOwner : kGuest; };
        for (int i = 0; i < c.halfMoves; ++i) {
            const Step& st = kShuffle[static_cast<std::size_t>(i % 4)];
            const int seat = t.game().toMove();
            t.receive(idOf(seat), Bytes({19, 0, seat, packPoint(st[0], st[1]),
                                         pieceAt(t.game().board(), st[0], st[1]),
                                         packPoint(st[2], st[3]), 0, 0, 0, 0}));
        }
        ASSERT_EQ(t.game().halfMoves(), c.halfMoves);
        const int mover = t.game().toMove();
        QString reason;
        switch (c.end) {
            case End::Resign:
                t.receive(kGuest, Bytes({22, 0, 1}));
                reason = QStringLiteral("认输");
                break;
            case End::Draw:
                t.receive(idOf(mover), Bytes({21, 0, mover}));
                t.receive(idOf(mover ^ 1), Bytes({21, 2, mover ^ 1}));
                reason = QStringLiteral("双方同意和棋");
                break;
            case End::Escape:
                t.receive(kGuest, Text({110, 0}, guest));
                reason = QStringLiteral("逃跑");
                break;
            case End::TimeOut:
                t.advanceTo(clock += 76'000);
                reason = QStringLiteral("超时");
                break;
        }
        ASSERT_NE(t.phase(), TablePhase::Playing);
        std::optional<Cmd> end;
        for (const Cmd& m : o.inbox.value(kOwner))
            if (!m.isEmpty() && byteAt(m, 0) == 25) end = m;
        ASSERT_TRUE(end.has_value());
        EXPECT_EQ(CmdToString(*end, 10), c.rated ? reason : reason + unrated);
        const bool noChange = end->mid(1, 8) == Bytes({0, 0, 0, 0, 0, 0, 0, 0});
        // A draw changes no score either way; every other ending that counts does.
        EXPECT_EQ(noChange, !c.rated || c.end == End::Draw);
        for (const QString& name : {owner, guest}) {
            const UserStats* s = t.stats().find(name);
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(s->games, c.rated ? 1 : 0) << name.toStdString();
            if (!c.rated) {
                EXPECT_EQ(s->score, UserStats{}.score);
                EXPECT_EQ(s->won + s->lost + s->drawn + s->escapes, 0);
            }
        }
        if (c.rated && c.end == End::Escape) EXPECT_EQ(t.stats().find(guest)->escapes, 1);
    }
}

}  // namespace
}  // namespace xq::server::test

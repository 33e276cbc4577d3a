// The game side of the table: game start, moves, negotiations, record data, notices and the
// game end, and the snapshot of a running game.

#include "game/table.h"
#include "net/message_codes.h"
#include "net/table_requests.h"
#include "prefs/sounds.h"
#include "rules/check.h"
#include "rules/legality.h"

namespace xq {
namespace {

bool IsSeat(int s) {
    return s == 0 || s == 1;
}

// The display point of a logical point; false for a point off the board.
bool Show(const GameState& g, int rank, int file, int& row, int& col) {
    if (!OnBoard(rank, file)) return false;
    std::uint8_t r = 0, c = 0;
    ToShowPos(g.bteRedView, static_cast<std::uint8_t>(rank), static_cast<std::uint8_t>(file), r, c);
    row = r;
    col = c;
    return true;
}

}  // namespace

void Table::DoGameMsg(const Cmd& cmd) {
    if (cmd.isEmpty()) return;
    switch (ByteAt(cmd, 0)) {
        case code::kChat: {
            const QStringList f = CmdToString(cmd, 1).split(u'`');
            if (f.size() < 10) return;
            // The speaker and the addressee shown are those the server checked and routed by
            // (fields 0 and 1), not the copies a sender may fill with another's name.
            QStringList shown = f.mid(2, 8);
            shown[0] = f[0];
            shown[1] = f[1];
            chat.showRelayed(shown);
            return;
        }
        case code::kCannotContinue: {
            if (cmd.size() < 3) return;
            const int seat = ByteAt(cmd, 2);
            if (!IsSeat(seat)) return;
            Box(1, SeatName(seat) + QStringLiteral(" 不能继续玩下去，原因：") + CmdToString(cmd, 3),
                s.strGameName + QStringLiteral("系统提示"));
            if (seat == s.bteMySeat && !s.blnLookOn) screen.unloadMainWindow();
            return;
        }
        case code::kGameStart:
            GameStart(cmd);
            return;
        case code::kRaiseHand: {
            if (UpperBound(cmd) != 1) return;
            const int seat = ByteAt(cmd, 1);
            if (!IsSeat(seat)) return;
            s.SeatUsers[static_cast<std::size_t>(seat)].intHandUp = true;
            ShowReadyPieces(seat);
            if (seat == s.bteMySeat) {
                g.bteOptButState[kBtnLoad] = kButtonDisabled;
                screen.paintOptButton(kBtnLoad);
            }
            return;
        }
        case code::kMove:
            Move(cmd);
            return;
        case code::kUndo:
            Undo(cmd);
            return;
        case code::kDraw:
            Draw(cmd);
            return;
        case code::kLoad:
            LoadRecord(cmd);
            return;
        case code::kNotice: {
            MakeSound(kSoundError);
            msgs.CloseMsgObjects(0);
            lastNotice_ = CmdToString(cmd, 1);
            // While a record is being loaded the load step is already under way: running it
            // again would ask for the file a second time.
            const bool loading =
                g.bteGameState == kStateLoadingBase || g.bteGameState == kStateLoadingBase + 1;
            if (!loading) ApplyGameState();
            Box(1, lastNotice_);
            return;
        }
        case code::kGameEnd:
            GameEnd(cmd);
            return;
        default:
            return;  // 113, 133 and everything else: no effect
    }
}

void Table::GameStart(const Cmd& cmd) {
    SendGameBegun();
    msgs.CloseMsgObjects(0);
    // The terms are settled once the game runs; a dialog still open must not answer them now.
    DropGameSet();
    if (UpperBound(cmd) != 18) return;
    MakeSound(kSoundBegin);
    s.bteGameStarted = 1;
    g.bteRedView = ByteAt(cmd, 11) == s.bteMySeat ? 1 : 0;
    g.bteGameState = ByteAt(cmd, 12);
    for (int i = 0; i < 3; ++i) {
        g.bteTotalTime[static_cast<std::size_t>(i)] = ByteAt(cmd, 13 + i);
        g.bteStepTime[static_cast<std::size_t>(i)] = ByteAt(cmd, 16 + i);
    }
    NewGame(g, s);
    ResetQiPu(g.finishedGame);
    NextPhase();
    g.blnNoGame = false;
    BuildShowQiPan(g.bteQiPan, g.bteRedView, g.bteShowQiPan);
    screen.paintGameBack();
    screen.paintQiPan();
    screen.paintUserOpt();
    blnWaitAnswer = false;
    ApplyGameState();
}

void Table::Move(const Cmd& cmd) {
    msgs.CloseMsgObjects(0);
    if (UpperBound(cmd) != 9) return;
    const int seat = ByteAt(cmd, 2);
    if (!IsSeat(seat) || seat != g.bteGameState) return;
    const int fr = ByteAt(cmd, 3) >> 4, ff = ByteAt(cmd, 3) & 15;
    const int tr = ByteAt(cmd, 5) >> 4, tf = ByteAt(cmd, 5) & 15;
    // A point off the board can be neither shown nor played: such a move is not applied.
    if (!OnBoard(fr, ff) || !OnBoard(tr, tf)) return;
    const Piece p = ByteAt(cmd, 4), e = ByteAt(cmd, 6);
    // From here to the turn passing, the move is one step: a reply or a game end that arrives
    // while the piece slides waits for it.
    BeginMove();
    screen.clearCheckMark();
    SeatUserItem& mover = s.SeatUsers[static_cast<std::size_t>(seat)];
    for (int i = 0; i < 3; ++i)
        mover.bteTotalUsed[static_cast<std::size_t>(i)] = ByteAt(cmd, 7 + i);
    StopRunTime();
    AddQiPu(g.QiPuData, static_cast<std::uint8_t>(fr), static_cast<std::uint8_t>(ff), p,
            static_cast<std::uint8_t>(tr), static_cast<std::uint8_t>(tf), e);
    const long n = QiPuUpperBound(g.QiPuData);
    g.lstQiPu.addLine(QiPuLine(g.QiPuData, n));
    g.lstQiPu.select(g.lstQiPu.count() - 1);
    MakeSound(g.bteQiPan[tr][tf] != kNoPiece ? kSoundEat : kSoundGo);
    g.bteQiPan[fr][ff] = kNoPiece;
    g.bteQiPan[tr][tf] = p;
    int a = 0, b = 0, c = 0, d = 0;
    Show(g, fr, ff, a, b);
    Show(g, tr, tf, c, d);
    MoveQiZi(a, b, c, d);
    SetRunFlag(a, b, c, d);
    if (IsJiangJun(g.bteQiPan, tr, tf)) {
        MakeSound(kSoundJiang);
        // Shown as well as heard: the attacked king is marked for a moment.
        std::uint8_t kr = 0, kf = 0, row = 0, col = 0;
        FindQiZi(g.bteQiPan, MakePiece(1 - SideOf(p), kKing), kr, kf);
        ToShowPos(g.bteRedView, kr, kf, row, col);
        screen.markCheck(row, col);
    }
    g.bteGameState = static_cast<std::uint8_t>(~g.bteGameState & 1);
    ApplyGameState();
    EndMove();
}

void Table::TakeBackLastMove() {
    // The placeholder is never a move: with nothing played there is nothing to take back.
    if (QiPuUpperBound(g.QiPuData) < 1) return;
    const QiPuMove m = *GetQiPu(g.QiPuData, QiPuUpperBound(g.QiPuData));
    screen.clearCheckMark();
    SetPiece(g.bteQiPan, m.fromRank, m.fromFile, m.piece);
    SetPiece(g.bteQiPan, m.toRank, m.toFile, m.eaten);
    DelQiPu(g.QiPuData);
    g.lstQiPu.removeLast();
    int a = 0, b = 0, c = 0, d = 0;
    if (Show(g, m.fromRank, m.fromFile, a, b) && Show(g, m.toRank, m.toFile, c, d)) {
        g.bteShowQiPan[a][b] = m.piece;
        g.bteShowQiPan[c][d] = m.eaten;
        screen.clearQiZi(a, b);
        screen.paintQiZi(a, b, m.piece);
        screen.clearQiZi(c, d);
        screen.paintQiZi(c, d, m.eaten);
    }
}

void Table::MarkLastMove() {
    const auto m = GetQiPu(g.QiPuData, QiPuUpperBound(g.QiPuData));
    int a = 0, b = 0, c = 0, d = 0;
    if (m && Show(g, m->fromRank, m->fromFile, a, b) && Show(g, m->toRank, m->toFile, c, d)) {
        SetRunFlag(a, b, c, d);
    }
}

void Table::AnswerRequest(std::uint8_t requestCode, const QString& question) {
    if (s.blnLookOn) return;  // spectators are not asked
    const unsigned asked = phase_;
    const bool agree = Question(question) != MsgPool::kNo;
    // The game ended, started anew or was reset while the question was open: the request went
    // with it, and an answer now would land in a phase it was never asked in.
    if (asked != phase_) return;
    Send(tablemsg::encode(
        tablemsg::Answer{static_cast<tablemsg::Topic>(requestCode), agree, s.bteMySeat}));
}

void Table::Refused(int seat, const QString& note) {
    if (s.blnLookOn) return;
    blnWaitAnswer = false;
    // Everybody hears of a refusal; the one who refused needs no box about his own answer.
    if (seat == s.bteMySeat) return;
    Box(1, note);
}

void Table::Undo(const Cmd& cmd) {
    msgs.CloseMsgObjects(0);
    if (UpperBound(cmd) != 2) return;
    const int seat = ByteAt(cmd, 2);
    switch (ByteAt(cmd, 1)) {
        case code::kAsk:
            AnswerRequest(code::kUndo,
                          SeatName(seat) + QStringLiteral(" 可能点错了，想悔棋，你是否同意?"));
            return;
        case code::kRefuse:
            Refused(seat, SeatName(seat) + QStringLiteral(" 不同意悔棋，请继续下棋！"));
            return;
        case code::kAgree: {
            // The moves go back before the box opens: the next move may arrive while it waits.
            TakeBackLastMove();
            TakeBackLastMove();
            MarkLastMove();
            NextPhase();
            blnWaitAnswer = false;
            ApplyGameState();
            if (s.blnLookOn) {
                Box(1, SeatName(1 - seat) + QStringLiteral(" 需要悔棋！"));
            } else if (seat != s.bteMySeat) {
                Box(1, SeatName(seat) + QStringLiteral(" 同意了你的悔棋要求！"));
            }
            return;
        }
        default:
            return;
    }
}

void Table::Draw(const Cmd& cmd) {
    msgs.CloseMsgObjects(0);
    if (UpperBound(cmd) != 2) return;
    const int seat = ByteAt(cmd, 2);
    switch (ByteAt(cmd, 1)) {
        case code::kAsk:
            AnswerRequest(code::kDraw, SeatName(seat) + QStringLiteral(" 想与你和棋，你是否同意?"));
            return;
        case code::kRefuse:
            Refused(seat, SeatName(seat) + QStringLiteral(" 不同意和棋，请继续下棋！"));
            return;
        default:
            return;
    }
}

void Table::LoadRecord(const Cmd& cmd) {
    msgs.CloseMsgObjects(0);
    if (UpperBound(cmd) < 2) return;
    const int seat = ByteAt(cmd, 2);
    switch (ByteAt(cmd, 1)) {
        case code::kAsk:
            AnswerRequest(
                code::kLoad,
                SeatName(seat) + QStringLiteral(" 想载入已有的棋谱与你对奕，你是否同意?"));
            return;
        case code::kRefuse:
            Refused(seat, SeatName(seat) + QStringLiteral(" 不同意你载入已有的棋谱！"));
            return;
        case code::kAgree:
            if (!IsSeat(seat)) return;
            g.bteGameState = static_cast<std::uint8_t>(kStateLoadingBase + (1 - seat));
            NextPhase();
            ApplyGameState();
            return;
        case code::kRecordData: {
            blnWaitAnswer = false;
            const long n = (UpperBound(cmd) - 1) / 4;
            g.QiPuData.assign(static_cast<std::size_t>(n) + 1, QiPuItem{});
            for (long k = 1; k <= n; ++k) {
                const qsizetype at = 2 + 4 * (k - 1);
                g.QiPuData[static_cast<std::size_t>(k)] = QiPuItem{
                    ByteAt(cmd, at), ByteAt(cmd, at + 1), ByteAt(cmd, at + 2), ByteAt(cmd, at + 3)};
            }
            ResetQiPu(g.finishedGame);
            NextPhase();
            RebuildQiPan(g);
            BuildShowQiPan(g.bteQiPan, g.bteRedView, g.bteShowQiPan);
            screen.paintQiPan();
            // A record without moves shows the opening position without markers.
            if (n > 0) MarkLastMove();
            g.blnNoGame = false;
            const bool lastRed = n > 0 && g.QiPuData[static_cast<std::size_t>(n)].bteQiZi > 15;
            const int other = 1 - s.bteMySeat;
            if (lastRed) {
                g.bteGameState = static_cast<std::uint8_t>(g.bteRedView == 0 ? s.bteMySeat : other);
            } else {
                g.bteGameState = static_cast<std::uint8_t>(g.bteRedView == 1 ? s.bteMySeat : other);
            }
            s.blnCanStart = false;
            ApplyGameState();
            return;
        }
        case code::kLoadFailed:
            // Back to idle first; the box that tells it may wait for the user.
            g.bteGameState = kStateNoGame;
            NextPhase();
            ClearQiPu(g);
            InitQiPan(g.bteQiPan);
            blnWaitAnswer = false;
            ApplyGameState();
            Box(1, SeatName(seat) + QStringLiteral(" 载入棋谱数据失败！"));
            return;
        default:
            return;
    }
}

void Table::GameEnd(const Cmd& cmd) {
    msgs.CloseMsgObjects(0);
    if (UpperBound(cmd) < 9) return;
    std::int32_t score0 = 0, score1 = 0;
    GetLongFromCmd(score0, cmd, 1);
    GetLongFromCmd(score1, cmd, 5);
    const int r = ByteAt(cmd, 9);
    const QString reason = CmdToString(cmd, 10);
    chat.showSystemLine(QStringLiteral("本局结束："));
    chat.showSystemLine(SeatName(0) + QStringLiteral(" 得分：") + QString::number(score0));
    chat.showSystemLine(SeatName(1) + QStringLiteral(" 得分：") + QString::number(score1));
    QString text;
    if (r < 2) {
        MakeSound(r == s.bteMySeat ? kSoundGameFail : kSoundGameWin);
        text = QStringLiteral("本局结束：") + SeatName(r) + QStringLiteral(" 输！原因：") + reason;
        ++g.lngWinCount[static_cast<std::size_t>(1 - r)];
    } else {
        text = QStringLiteral("本局和棋：") + reason;
    }
    // The table is idle for the next game before the result box opens: the box waits for the
    // user, and whatever arrives meanwhile must find the game over. The moves are kept for Save
    // and Replay until the next game starts, with who played which colour and how it ended.
    g.finishedGame = g.QiPuData;
    const int redSeat = g.bteRedView == 1 ? s.bteMySeat : 1 - s.bteMySeat;
    g.finishedTags = {SeatName(redSeat), SeatName(1 - redSeat),
                      r >= 2         ? QStringLiteral("1/2-1/2")
                      : r == redSeat ? QStringLiteral("0-1")
                                     : QStringLiteral("1-0"),
                      QDate::currentDate()};
    g.bteRedView = static_cast<std::uint8_t>(1 - g.bteRedView);
    NewGame(g, s);
    g.bteGameState = kStateNoGame;
    NextPhase();
    ResetQiPanView();
    blnWaitAnswer = false;
    screen.paintUserOpt();
    IdleButtons();
    s.blnCanStart = !s.blnLookOn;
    RefreshStartButton();
    Box(1, text);
    // The final position stays in view while the result is read; then the panels and the board
    // show the table as it is now.
    screen.paintGameBack();
    screen.paintQiPan();
}

void Table::LoadGameState(const Cmd& d) {
    const auto at = [&d](qsizetype i, std::uint8_t& out) {
        if (i < d.size()) out = ByteAt(d, i);
    };
    const auto has = [&d](qsizetype i) { return i < d.size(); };
    const auto tally = [&](qsizetype i, std::int32_t& out) {
        if (has(i + 1)) out = ByteAt(d, i) * 255 + ByteAt(d, i + 1);
    };
    const auto triple = [&](qsizetype i, std::array<std::uint8_t, 3>& out) {
        for (int k = 0; k < 3; ++k)
            at(i + k, out[static_cast<std::size_t>(k)]);
    };
    if (!has(2)) return;
    if (ByteAt(d, 2) == 0) {
        if (has(4)) s.SeatUsers[0].intHandUp = ByteAt(d, 4) > 0;
        if (has(5)) s.SeatUsers[1].intHandUp = ByteAt(d, 5) > 0;
        tally(6, g.lngWinCount[0]);
        tally(8, g.lngWinCount[1]);
        triple(10, g.bteTotalTime);
        triple(13, g.bteStepTime);
        if (has(16)) g.bteRedView = ByteAt(d, 16) == s.bteMySeat ? 1 : 0;
        at(17, g.bteGameState);
        g.blnNoGame = true;
        return;
    }
    if (has(4)) g.bteRedView = ByteAt(d, 4) == s.bteMySeat ? 1 : 0;
    at(5, g.bteGameState);
    triple(6, g.bteTotalTime);
    triple(9, g.bteStepTime);
    tally(12, g.lngWinCount[0]);
    tally(14, g.lngWinCount[1]);
    triple(16, s.SeatUsers[0].bteTotalUsed);
    triple(19, s.SeatUsers[1].bteTotalUsed);
    for (qsizetype start = 22; start < d.size(); start += 4) {
        QiPuItem item;
        at(start, item.bteFromPos);
        at(start + 1, item.bteQiZi);
        at(start + 2, item.bteToPos);
        at(start + 3, item.bteEatQiZi);
        g.QiPuData.push_back(item);
    }
    g.blnNoGame = false;
    RebuildQiPan(g);
    BuildShowQiPan(g.bteQiPan, g.bteRedView, g.bteShowQiPan);
}

}  // namespace xq

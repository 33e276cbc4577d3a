// The game side of the table: game start, moves, negotiations, record data, notices and the
// game end, and the snapshot of a running game.

#include "game/table.h"
#include "net/message_codes.h"
#include "net/table_events.h"
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
    gameEvent(tablemsg::parseEvent(cmd));
}

void Table::gameEvent(const tablemsg::ParsedEvent& parsed) {
    using namespace tablemsg;
    noticeWasLast_ = codeOf(parsed) == code::kNotice;
    switch (codeOf(parsed)) {
        case code::kChat: {
            const auto* line = eventAs<ChatRelay>(parsed);
            if (!line) return;
            const QStringList& f = line->fields;
            // The speaker and the addressee shown are those the server checked and routed by
            // (fields 0 and 1), not the copies a sender may fill with another's name.
            QStringList shown = f.mid(2, 8);
            shown[0] = f[0];
            shown[1] = f[1];
            chat.showRelayed(shown);
            return;
        }
        case code::kCannotContinue: {
            const auto* m = eventAs<CannotContinue>(parsed);
            if (!m) return;
            const int seat = m->seat;
            Box(1, SeatName(seat) + QStringLiteral(" 不能继续玩下去，原因：") + m->reason,
                s.strGameName + QStringLiteral("系统提示"));
            if (seat == s.bteMySeat && !s.blnLookOn) screen.unloadMainWindow();
            return;
        }
        case code::kGameStart:
            GameStart(eventAs<tablemsg::GameStart>(parsed));
            return;
        case code::kRaiseHand: {
            const auto* m = eventAs<Ready>(parsed);
            if (!m) return;
            const int seat = m->seat;
            s.SeatUsers[static_cast<std::size_t>(seat)].intHandUp = true;
            ShowReadyPieces(seat);
            if (seat == s.bteMySeat) {
                g.bteOptButState[kBtnLoad] = kButtonDisabled;
                screen.changed(Shown::OptButton, kBtnLoad);
            }
            return;
        }
        case code::kMove:
            Move(eventAs<MoveEcho>(parsed));
            return;
        case code::kUndo:
            Undo(eventAs<Negotiation>(parsed));
            return;
        case code::kDraw:
            Draw(eventAs<Negotiation>(parsed));
            return;
        case code::kLoad:
            LoadRecord(parsed);
            return;
        case code::kNotice: {
            const auto* notice = eventAs<tablemsg::Notice>(parsed);
            if (!notice) return;
            MakeSound(kSoundError);
            msgs.CloseMsgObjects(0);
            lastNotice_ = notice->text;
            // While a record is being loaded the load step is already under way: running it
            // again would ask for the file a second time.
            const bool loading =
                g.bteGameState == kStateLoadingBase || g.bteGameState == kStateLoadingBase + 1;
            if (!loading) ApplyGameState();
            Box(1, lastNotice_);
            return;
        }
        case code::kGameEnd:
            GameEnd(eventAs<tablemsg::GameEnd>(parsed));
            return;
        default:
            return;  // 113, 133 and everything else: no effect
    }
}

void Table::GameStart(const tablemsg::GameStart* start) {
    SendGameBegun();
    msgs.CloseMsgObjects(0);
    // The terms are settled once the game runs; a dialog still open must not answer them now.
    dropGameSet();
    if (!start) return;
    MakeSound(kSoundBegin);
    s.bteGameStarted = 1;
    g.bteRedView = start->redSeat == s.bteMySeat ? 1 : 0;
    g.bteGameState = start->firstToMove;
    g.bteTotalTime = start->bankLimit;
    g.bteStepTime = start->stepTime;
    NewGame(g, s);
    resetQiPu(g.finishedGame);
    nextPhase();
    g.blnNoGame = false;
    BuildShowQiPan(g.bteQiPan, g.bteRedView, g.bteShowQiPan);
    screen.changed(Shown::GameBack);
    screen.changed(Shown::Board);
    screen.changed(Shown::Controls);
    blnWaitAnswer = false;
    ApplyGameState();
}

void Table::Move(const tablemsg::MoveEcho* echo) {
    msgs.CloseMsgObjects(0);
    // An echo from no seat or with a point off the board was refused on arrival: it can be
    // neither shown nor played.
    if (!echo) return;
    const int seat = echo->seat;
    if (seat != g.bteGameState) return;
    const int fr = packedRank(echo->from), ff = packedFile(echo->from);
    const int tr = packedRank(echo->to), tf = packedFile(echo->to);
    const Piece p = echo->piece, e = echo->eaten;
    // From here to the turn passing, the move is one step: a reply or a game end that arrives
    // while the piece slides waits for it.
    beginMove();
    screen.board().clearCheckMark();
    SeatUserItem& mover = s.SeatUsers[static_cast<std::size_t>(seat)];
    mover.bteTotalUsed = echo->bankUsed;
    StopRunTime();
    AddQiPu(g.QiPuData, static_cast<std::uint8_t>(fr), static_cast<std::uint8_t>(ff), p,
            static_cast<std::uint8_t>(tr), static_cast<std::uint8_t>(tf), e);
    const long n = qiPuUpperBound(g.QiPuData);
    g.lstQiPu.addLine(qiPuLine(g.QiPuData, n));
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
        FindQiZi(g.bteQiPan, makePiece(1 - SideOf(p), kKing), kr, kf);
        ToShowPos(g.bteRedView, kr, kf, row, col);
        screen.board().markCheck(row, col);
    }
    g.bteGameState = static_cast<std::uint8_t>(~g.bteGameState & 1);
    ApplyGameState();
    endMove();
}

void Table::takeBackLastMove() {
    // The placeholder is never a move: with nothing played there is nothing to take back.
    if (qiPuUpperBound(g.QiPuData) < 1) return;
    const QiPuMove m = *GetQiPu(g.QiPuData, qiPuUpperBound(g.QiPuData));
    screen.board().clearCheckMark();
    setPiece(g.bteQiPan, m.fromRank, m.fromFile, m.piece);
    setPiece(g.bteQiPan, m.toRank, m.toFile, m.eaten);
    DelQiPu(g.QiPuData);
    g.lstQiPu.removeLast();
    int a = 0, b = 0, c = 0, d = 0;
    if (Show(g, m.fromRank, m.fromFile, a, b) && Show(g, m.toRank, m.toFile, c, d)) {
        g.bteShowQiPan[a][b] = m.piece;
        g.bteShowQiPan[c][d] = m.eaten;
        screen.board().pointChanged(a, b, m.piece);
        screen.board().pointChanged(c, d, m.eaten);
    }
}

void Table::markLastMove() {
    const auto m = GetQiPu(g.QiPuData, qiPuUpperBound(g.QiPuData));
    int a = 0, b = 0, c = 0, d = 0;
    if (m && Show(g, m->fromRank, m->fromFile, a, b) && Show(g, m->toRank, m->toFile, c, d)) {
        SetRunFlag(a, b, c, d);
    }
}

void Table::answerRequest(std::uint8_t requestCode, const QString& question) {
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

void Table::Undo(const tablemsg::Negotiation* m) {
    msgs.CloseMsgObjects(0);
    if (!m || m->trailing) return;
    const int seat = m->seat;
    switch (m->step) {
        case code::kAsk:
            answerRequest(code::kUndo,
                          SeatName(seat) + QStringLiteral(" 可能点错了，想悔棋，你是否同意?"));
            return;
        case code::kRefuse:
            Refused(seat, SeatName(seat) + QStringLiteral(" 不同意悔棋，请继续下棋！"));
            return;
        case code::kAgree: {
            // The moves go back before the box opens: the next move may arrive while it waits.
            takeBackLastMove();
            takeBackLastMove();
            markLastMove();
            nextPhase();
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

void Table::Draw(const tablemsg::Negotiation* m) {
    msgs.CloseMsgObjects(0);
    if (!m || m->trailing) return;
    const int seat = m->seat;
    switch (m->step) {
        case code::kAsk:
            answerRequest(code::kDraw, SeatName(seat) + QStringLiteral(" 想与你和棋，你是否同意?"));
            return;
        case code::kRefuse:
            Refused(seat, SeatName(seat) + QStringLiteral(" 不同意和棋，请继续下棋！"));
            return;
        default:
            return;
    }
}

void Table::LoadRecord(const tablemsg::ParsedEvent& parsed) {
    msgs.CloseMsgObjects(0);
    if (const auto* record = tablemsg::eventAs<tablemsg::RecordMoves>(parsed)) {
        loadRecordMoves(record->moves);
        return;
    }
    const auto* m = tablemsg::eventAs<tablemsg::Negotiation>(parsed);
    if (!m) return;
    const int seat = m->seat;
    switch (m->step) {
        case code::kAsk:
            answerRequest(
                code::kLoad,
                SeatName(seat) + QStringLiteral(" 想载入已有的棋谱与你对奕，你是否同意?"));
            return;
        case code::kRefuse:
            Refused(seat, SeatName(seat) + QStringLiteral(" 不同意你载入已有的棋谱！"));
            return;
        case code::kAgree:
            if (!IsSeat(seat)) return;
            g.bteGameState = static_cast<std::uint8_t>(kStateLoadingBase + (1 - seat));
            nextPhase();
            ApplyGameState();
            return;
        case code::kLoadFailed:
            // Back to idle first; the box that tells it may wait for the user.
            g.bteGameState = kStateNoGame;
            nextPhase();
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

void Table::loadRecordMoves(const std::vector<QiPuItem>& moves) {
    blnWaitAnswer = false;
    const long n = static_cast<long>(moves.size());
    g.QiPuData.assign(1, QiPuItem{});
    g.QiPuData.insert(g.QiPuData.end(), moves.begin(), moves.end());
    resetQiPu(g.finishedGame);
    nextPhase();
    RebuildQiPan(g);
    BuildShowQiPan(g.bteQiPan, g.bteRedView, g.bteShowQiPan);
    screen.changed(Shown::Board);
    // A record without moves shows the opening position without markers.
    if (n > 0) markLastMove();
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
}

void Table::GameEnd(const tablemsg::GameEnd* end) {
    msgs.CloseMsgObjects(0);
    if (!end) return;
    const std::int32_t score0 = end->score0, score1 = end->score1;
    const int r = end->result;
    const QString& reason = end->reason;
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
    nextPhase();
    ResetQiPanView();
    blnWaitAnswer = false;
    screen.changed(Shown::Controls);
    idleButtons();
    s.blnCanStart = !s.blnLookOn;
    RefreshStartButton();
    Box(1, text);
    // The final position stays in view while the result is read; then the panels and the board
    // show the table as it is now.
    screen.changed(Shown::GameBack);
    screen.changed(Shown::Board);
}

void Table::LoadGameState(const tablemsg::WaitingSnapshot& d) {
    // Only the fields that arrived are taken; the others keep what the new game set.
    const auto has = [&d](int field) { return field < d.arrived; };
    if (has(0)) s.SeatUsers[0].intHandUp = d.handsUp[0];
    if (has(1)) s.SeatUsers[1].intHandUp = d.handsUp[1];
    if (has(2)) g.lngWinCount[0] = d.tally[0];
    if (has(3)) g.lngWinCount[1] = d.tally[1];
    for (int k = 0; k < 3; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (has(4 + k)) g.bteTotalTime[i] = d.bankLimit[i];
        if (has(7 + k)) g.bteStepTime[i] = d.stepTime[i];
    }
    if (has(10)) g.bteRedView = d.redSeat == s.bteMySeat ? 1 : 0;
    if (has(11)) g.bteGameState = d.gameState;
    g.blnNoGame = true;
}

void Table::LoadGameState(const tablemsg::RunningSnapshot& d) {
    const auto has = [&d](int field) { return field < d.arrived; };
    if (has(0)) g.bteRedView = d.redSeat == s.bteMySeat ? 1 : 0;
    if (has(1)) g.bteGameState = d.gameState;
    for (int k = 0; k < 3; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (has(2 + k)) g.bteTotalTime[i] = d.bankLimit[i];
        if (has(5 + k)) g.bteStepTime[i] = d.stepTime[i];
    }
    if (has(8)) g.lngWinCount[0] = d.tally[0];
    if (has(9)) g.lngWinCount[1] = d.tally[1];
    for (int k = 0; k < 3; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (has(10 + k)) s.SeatUsers[0].bteTotalUsed[i] = d.banksUsed[0][i];
        if (has(13 + k)) s.SeatUsers[1].bteTotalUsed[i] = d.banksUsed[1][i];
    }
    g.QiPuData.insert(g.QiPuData.end(), d.moves.begin(), d.moves.end());
    // A last move cut short is taken with what arrived of it.
    if (d.cutMove) g.QiPuData.push_back(*d.cutMove);
    g.blnNoGame = false;
    RebuildQiPan(g);
    BuildShowQiPan(g.bteQiPan, g.bteRedView, g.bteShowQiPan);
}

}  // namespace xq

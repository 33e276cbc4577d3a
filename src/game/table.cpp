#include "game/table.h"

#include "prefs/sounds.h"
#include "startup/skin_path.h"

namespace xq {

Table::Table(Session& session, GameState& game, UserSettings& settings, Screen& scr,
             MsgBoxHost& boxes, const QString& programFolder)
    : s(session),
      g(game),
      prefs(settings),
      settingsStore(settings, session.strAppPath),
      screen(scr),
      msgs(boxes),
      programFolder_(programFolder) {}

void Table::Send(const Cmd& cmd) {
    if (send && !cmd.isEmpty()) send(cmd);
}

void Table::setTimer(TableTimer timer, bool enabled) {
    timers_[static_cast<int>(timer)] = enabled;
    screen.setTimerEnabled(timer, enabled);
}

std::int16_t Table::Box(std::uint8_t type, const QString& note, const QString& caption,
                        std::int32_t delay, const QString& yes, const QString& no,
                        bool yesDefault) {
    return msgs.ShowMsg(0, type, note, caption.isEmpty() ? s.strGameName : caption, delay, yes, no,
                        yesDefault);
}

std::int16_t Table::Question(const QString& note) {
    return Box(2, note, {}, 10, QStringLiteral("同意"), QStringLiteral("拒绝"), false);
}

void Table::Notice(const QString& note) {
    msgs.ShowMsg(0, 0, note, {}, 0, {}, {}, true);
}

QString Table::SeatName(int seat) const {
    return seat == 0 || seat == 1 ? s.SeatUsers[static_cast<std::size_t>(seat)].strUserName
                                  : QString();
}

int Table::findSeat(const QString& name) const {
    for (int seat = 0; seat < 2; ++seat) {
        if (s.SeatUsers[static_cast<std::size_t>(seat)].strUserName == name) return seat;
    }
    return -1;
}

void Table::MakeSound(std::uint8_t sound) {
    if (!screen.isMainWindowVisible() || prefs.bteSoundOn == 0) return;
    const QString file = soundFileName(sound);
    if (file.isEmpty()) return;
    screen.playSoundFile(skinPath(s.strAppPath, QStringLiteral("Sound\\") + file));
}

void Table::RefreshStartButton() {
    g.bteOptButState[kBtnStart] = (!s.blnCanStart || s.blnLookOn) ? kButtonDisabled : kButtonNormal;
    screen.changed(Shown::OptButton, kBtnStart);
}

void Table::disableAllButtons() {
    g.bteOptButState.fill(kButtonDisabled);
}

void Table::paintAllButtons() {
    for (int i = 0; i < kOptButtons; ++i)
        screen.changed(Shown::OptButton, i);
}

void Table::ResetQiPanView() {
    setTimer(TableTimer::MeSelectQiZi, false);
    setTimer(TableTimer::QiZiRun, false);
    setTimer(TableTimer::UserRunFlag, false);
    setTimer(TableTimer::UserRunTime, false);
    screen.board().hideMarkers();
    screen.board().showMoveHints({});
    screen.board().hideMovingPiece();
}

void Table::MoveQiZi(int fromRow, int fromCol, int toRow, int toCol) {
    if (!OnBoard(fromRow, fromCol) || !OnBoard(toRow, toCol)) return;
    const Piece p = g.bteShowQiPan[fromRow][fromCol];
    const bool piece = (p >= 1 && p <= 7) || (p >= 17 && p <= 23);
    if (!piece) return;
    g.bteShowQiPan[fromRow][fromCol] = kNoPiece;
    screen.board().animateMove(fromRow, fromCol, toRow, toCol, p);
    g.bteShowQiPan[toRow][toCol] = p;
}

void Table::SetRunFlag(int fromRow, int fromCol, int toRow, int toCol) {
    lngRunFromRow = fromRow;
    lngRunFromCol = fromCol;
    lngRunToRow = toRow;
    lngRunToCol = toCol;
    setTimer(TableTimer::QiZiRun, true);
}

void Table::ShowRunFlag(bool show) {
    screen.board().placeRunMarkers(static_cast<int>(lngRunFromRow), static_cast<int>(lngRunFromCol),
                                   static_cast<int>(lngRunToRow), static_cast<int>(lngRunToCol),
                                   show);
}

void Table::StopRunFlag() {
    setTimer(TableTimer::QiZiRun, false);
    ShowRunFlag(true);
}

void Table::SetSelectFlag(int row, int col) {
    setTimer(TableTimer::MeSelectQiZi, true);
    lngSelRow = row;
    lngSelCol = col;
}

void Table::ShowSelectFlag(bool show) {
    if (lngSelRow < 0 || lngSelCol < 0) return;
    screen.board().placeSelectMarker(static_cast<int>(lngSelRow), static_cast<int>(lngSelCol),
                                     show);
}

void Table::StopSelectFlag() {
    setTimer(TableTimer::MeSelectQiZi, false);
    screen.board().hideSelectMarker();
    screen.board().showMoveHints({});
}

void Table::StartTurnFlag() {
    setTimer(TableTimer::UserRunFlag, true);
}

void Table::StopTurnFlag() {
    setTimer(TableTimer::UserRunFlag, false);
    if (g.bteGameState <= 1) screen.changed(Shown::RunFlag, g.bteGameState);
}

void Table::onRunFlagTick() {
    ShowRunFlag(blnRunFlagShow);
    blnRunFlagShow = !blnRunFlagShow;
}

void Table::onSelectTick() {
    ShowSelectFlag(blnSelectFlagShow);
    blnSelectFlagShow = !blnSelectFlagShow;
}

void Table::onTurnFlagTick() {
    if (g.bteGameState <= 1)
        screen.changed(blnRunFlagPhase ? Shown::RunFlag : Shown::RunFlagOff, g.bteGameState);
    blnRunFlagPhase = !blnRunFlagPhase;
}

void Table::ShowReadyPieces(int seat) {
    if (!g.blnNoGame || (seat != 0 && seat != 1)) return;
    const SeatUserItem& who = s.SeatUsers[static_cast<std::size_t>(seat)];
    if (who.strUserName.isEmpty()) return;
    const bool mine = seat == s.bteMySeat;
    // The view's own seat fills the lower half, the other seat the upper half.
    const int first = mine ? 9 : 0;
    const int step = mine ? -1 : 1;
    for (int k = 0; k < 5; ++k)
        g.bteShowQiPan[first + step * k].fill(kNoPiece);
    if (who.intHandUp) {
        const bool red = (mine && g.bteRedView == 1) || (!mine && g.bteRedView == 0);
        const int side = red ? kRed : kBlack;
        constexpr int kBack[9] = {kChariot, kHorse,    kElephant, kAdvisor, kKing,
                                  kAdvisor, kElephant, kHorse,    kChariot};
        for (int f = 0; f < kFiles; ++f)
            g.bteShowQiPan[first][f] = makePiece(side, kBack[f]);
        for (int f : {1, 7})
            g.bteShowQiPan[first + 2 * step][f] = makePiece(side, kCannon);
        for (int f = 0; f < kFiles; f += 2)
            g.bteShowQiPan[first + 3 * step][f] = makePiece(side, kPawn);
    }
    screen.changed(Shown::Board);
}

bool Table::RequestCloseMain() {
    if (moving_) {  // asked once the move is on the board, not in the middle of its slide
        afterMove_.push_back([this] { RequestCloseMain(); });
        return false;
    }
    if (!s.blnLookOn && !g.blnNoGame && prefs.bteQuitPrompt != 0) {
        const std::int16_t answer = msgs.ShowMsg(
            0, 2,
            QStringLiteral(
                "大伙正在游戏，如果你现在退出是很不道德的，并且系统会算你逃跑！你是否强退？"),
            QStringLiteral("系统提示"), 10, QStringLiteral("强退"), QStringLiteral("取消"), false);
        if (answer == MsgPool::kNo) return false;
    }
    // The server learns at once that the user has gone: a running game ends as an escape
    // instead of keeping the seat for a player who is not coming back.
    SendLeaveTable();
    screen.unloadMainWindow();
    return true;
}

void Table::unloadStep() {
    s.blnAppQuit = true;
    msgs.CloseMsgObjects(0);
    InitSession(s, programFolder_);
    ResetGame(g, s);
    // The session reset clears the quit flag; a wait still running must see it once it resumes.
    s.blnAppQuit = true;
    if (gameSetOpen_) {
        gameSetOpen_ = false;
        screen.closeGameSetDialog();
    }
}

bool Table::ConnectionLost() {
    ResetQiPanView();
    msgs.CloseMsgObjects(0);
    if (gameSetOpen_) {
        gameSetOpen_ = false;
        gameSet.timerEnabled = false;
        screen.closeGameSetDialog();
    }
    nextPhase();
    blnWaitAnswer = false;
    s.blnCanStart = false;
    disableAllButtons();
    paintAllButtons();
    return qiPuUpperBound(recordToSave()) >= 1;
}

const QiPuHistory& Table::recordToSave() const {
    if (g.blnNoGame && qiPuUpperBound(g.finishedGame) >= 1) return g.finishedGame;
    return g.QiPuData;
}

std::pair<QString, QString> Table::recordPlayers() const {
    // Between games the players of the finished game are those it was played by.
    if (&recordToSave() == &g.finishedGame) return {g.finishedTags.red, g.finishedTags.black};
    const int redSeat = g.bteRedView == 1 ? s.bteMySeat : 1 - s.bteMySeat;
    return {SeatName(redSeat), SeatName(1 - redSeat)};
}

GameRecord Table::finishedRecord() const {
    GameRecord record;
    record.moves = g.finishedGame;
    const GameState::FinishedTags& t = g.finishedTags;
    record.tags = {{QStringLiteral("Event"), s.strGameName},
                   {QStringLiteral("Date"), t.date.toString(QStringLiteral("yyyy.MM.dd"))},
                   {QStringLiteral("Red"), t.red},
                   {QStringLiteral("Black"), t.black}};
    record.result = t.result;
    return record;
}

void Table::nextPhase() {
    ++phase_;
    // A record file chosen for a load that is over would be sent into the wrong phase.
    if (choosingLoadFile_) screen.cancelFileDialog();
}

void Table::beginMove() {
    moving_ = true;
    if (holdMessages) holdMessages(true);
}

void Table::endMove() {
    moving_ = false;
    if (holdMessages) holdMessages(false);
    // What the user asked for while the piece slid runs now, in order.
    std::vector<std::function<void()>> later;
    later.swap(afterMove_);
    for (const auto& action : later)
        action();
}

void Table::idleButtons() {
    disableAllButtons();
    g.bteOptButState[kBtnReplay] = kButtonNormal;
    g.bteOptButState[kBtnLoad] = kButtonNormal;
    // The game that just ended can still be saved.
    if (qiPuUpperBound(g.finishedGame) >= 1) g.bteOptButState[kBtnSave] = kButtonNormal;
    paintAllButtons();
}

}  // namespace xq

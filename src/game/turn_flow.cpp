// Move input by two clicks on the board, and what each game phase makes usable.

#include <QFileInfo>

#include "game/table.h"
#include "net/table_requests.h"
#include "prefs/sounds.h"
#include "records/record_file.h"
#include "rules/legality.h"
#include "rules/move_reason.h"

namespace xq {

void Table::onBoardClick(bool leftButton, int row, int col) {
    if (!leftButton || blnWaitAnswer || row < 0 || col < 0 || !OnBoard(row, col)) return;
    if (s.blnLookOn || g.bteGameState != s.bteMySeat) return;
    if (!timerEnabled(TableTimer::UserRunFlag) || !timerEnabled(TableTimer::UserRunTime)) return;

    const int mySide = g.bteRedView == 1 ? kRed : kBlack;
    const Piece clicked = g.bteShowQiPan[row][col];
    if (clicked != kNoPiece && SideOf(clicked) == mySide) {
        if (qiPuUpperBound(g.QiPuData) >= 2) StopRunFlag();
        MakeSound(kSoundSelect);
        SetSelectFlag(row, col);
        ShowMoveHints(row, col);
        return;
    }
    if (!timerEnabled(TableTimer::MeSelectQiZi) ||
        !OnBoard(static_cast<int>(lngSelRow), static_cast<int>(lngSelCol))) {
        return;
    }
    std::uint8_t fr = 0, ff = 0, tr = 0, tf = 0;
    ToShowPos(g.bteRedView, static_cast<std::uint8_t>(lngSelRow),
              static_cast<std::uint8_t>(lngSelCol), fr, ff);
    ToShowPos(g.bteRedView, static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(col), tr, tf);
    if (!CanMoveQiZi(g.bteQiPan, fr, ff, tr, tf)) {
        MakeSound(kSoundError);
        // With hints on, the user also reads why.
        if (prefs.bteBadMoveHint != 0) {
            screen.board().showMoveReason(
                QString::fromStdString(moveReasonText(WhyNot(g.bteQiPan, fr, ff, tr, tf))));
        }
        return;
    }
    StopSelectFlag();
    StopTurnFlag();
    StopRunTime();
    disableAllButtons();
    g.bteOptButState[kBtnReplay] = kButtonNormal;
    g.bteOptButState[kBtnSave] = kButtonNormal;
    paintAllButtons();
    Send(tablemsg::encode(tablemsg::Move{s.bteMySeat, packPoint(fr, ff), g.bteQiPan[fr][ff],
                                         packPoint(tr, tf), g.bteQiPan[tr][tf],
                                         s.SeatUsers[s.bteMySeat].bteTotalUsed}));
}

void Table::ShowMoveHints(int row, int col) {
    if (prefs.bteBadMoveHint == 0) return;
    std::uint8_t rank = 0, file = 0;
    ToShowPos(g.bteRedView, static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(col), rank,
              file);
    std::vector<std::pair<int, int>> cells;
    for (const auto& [r, f] : legalTargets(g.bteQiPan, rank, file)) {
        std::uint8_t dr = 0, dc = 0;
        ToShowPos(g.bteRedView, static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(f), dr, dc);
        cells.emplace_back(dr, dc);
    }
    screen.board().showMoveHints(cells);
}

void Table::ApplyGameState() {
    const std::uint8_t state = g.bteGameState;
    if (state <= 1) {
        StartRunTime();
        StartTurnFlag();
        disableAllButtons();
        g.bteOptButState[kBtnReplay] = kButtonNormal;
        g.bteOptButState[kBtnSave] = kButtonNormal;
        if (state == s.bteMySeat && !s.blnLookOn) {
            g.bteOptButState[kBtnDraw] = kButtonNormal;
            g.bteOptButState[kBtnResign] = kButtonNormal;
            if (qiPuUpperBound(g.QiPuData) >= 5) g.bteOptButState[kBtnUndo] = kButtonNormal;
        }
        paintAllButtons();
        return;
    }
    if (state == kStateLoadingBase || state == kStateLoadingBase + 1) {
        if (!recordLoadStep(state - kStateLoadingBase)) return;
        disableAllButtons();
        paintAllButtons();
        blnWaitAnswer = true;
        return;
    }
    idleButtons();
    if (!s.blnLookOn && !s.SeatUsers[s.bteMySeat].intHandUp) {
        s.blnCanStart = true;
        RefreshStartButton();
    }
}

bool Table::recordLoadStep(int seat) {
    if (s.blnLookOn || seat != s.bteMySeat) {
        Notice(QStringLiteral("等待 ") + SeatName(seat) + QStringLiteral(" 载入已有的棋谱..."));
        return true;
    }
    const unsigned agreed = phase_;
    Box(1, QStringLiteral("对方同意了你载入已有的棋谱，请选择你要载入的棋谱！"));
    // The load may end while the user reads the box or chooses the file (the server's deadline,
    // the opponent leaving): the table is then idle again and nothing more is sent.
    if (agreed != phase_) return false;
    choosingLoadFile_ = true;
    const QString path =
        screen.getQiPuFileName(QStringLiteral("打开 要读入的中国象棋 文件"), false);
    choosingLoadFile_ = false;
    if (agreed != phase_) return false;
    QiPuHistory record;
    // An empty record has nothing to upload; it is given up like a cancelled choice, so that
    // the table does not wait for moves that never come.
    if (!path.isEmpty() && QFileInfo(path).isFile() && LoadQiPuFile(path, record) &&
        qiPuUpperBound(record) >= 1) {
        g.QiPuData = record;
        for (const auto& chunk : tablemsg::recordChunks(s.bteMySeat, g.QiPuData))
            Send(tablemsg::encode(chunk));
        ClearQiPu(g);
    } else {
        Send(tablemsg::encode(tablemsg::LoadAbandoned{s.bteMySeat}));
    }
    return true;
}

}  // namespace xq

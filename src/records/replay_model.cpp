#include "records/replay_model.h"

#include "game/game_state.h"
#include "rules/legality.h"

namespace xq {

bool ReplayModel::display(int rank, int file, int& row, int& col) const {
    if (!OnBoard(rank, file)) return false;
    std::uint8_t r = 0, c = 0;
    ToShowPos(redView_, static_cast<std::uint8_t>(rank), static_cast<std::uint8_t>(file), r, c);
    row = r;
    col = c;
    return true;
}

void ReplayModel::buildList() {
    InitQiPan(FuPanQiPan);
    lstQiPu.clear();
    for (long k = 1; k <= moves(); ++k) {
        const QiPuMove m = *GetQiPu(FuPanQiPuData, k);
        SetPiece(FuPanQiPan, m.fromRank, m.fromFile, kNoPiece);
        SetPiece(FuPanQiPan, m.toRank, m.toFile, m.piece);
        lstQiPu.addLine(QiPuLine(FuPanQiPuData, k));
    }
}

void ReplayModel::makeDisplay() {
    BuildShowQiPan(FuPanQiPan, redView_, FuPanShowQiPan);
}

void ReplayModel::setRunFlag(int fromRank, int fromFile, int toRank, int toFile) {
    markers_.selected = false;  // a new last move ends any selection
    markers_.run = display(fromRank, fromFile, markers_.fromRow, markers_.fromCol) &&
                   display(toRank, toFile, markers_.toRow, markers_.toCol);
}

void ReplayModel::open(const QiPuHistory& history, const QString& path) {
    FuPanQiPuData = history.empty() ? QiPuHistory{QiPuItem{}} : history;
    strFuPanFile = path;
    buildList();
    makeDisplay();
    markers_ = {};
    const QiPuMove last = *GetQiPu(FuPanQiPuData, moves());
    if (moves() > 0) setRunFlag(last.fromRank, last.fromFile, last.toRank, last.toFile);
    bteFuPanSide = static_cast<std::uint8_t>(1 - SideOf(last.piece) % 2);
    lngFuPanStep = moves();
    lstQiPu.select(static_cast<int>(moves()) - 1);
}

void ReplayModel::next() {
    if (lngFuPanStep >= moves()) return;
    ++lngFuPanStep;
    const QiPuMove m = *GetQiPu(FuPanQiPuData, lngFuPanStep);
    lstQiPu.select(static_cast<int>(lngFuPanStep) - 1);
    const Piece moving = PieceAt(FuPanQiPan, m.fromRank, m.fromFile);
    SetPiece(FuPanQiPan, m.toRank, m.toFile, moving);
    SetPiece(FuPanQiPan, m.fromRank, m.fromFile, kNoPiece);
    bteFuPanSide = static_cast<std::uint8_t>(1 - SideOf(m.piece) % 2);
    makeDisplay();
    setRunFlag(m.fromRank, m.fromFile, m.toRank, m.toFile);
}

void ReplayModel::prev() {
    if (lngFuPanStep <= 1) return;
    const QiPuMove m = *GetQiPu(FuPanQiPuData, lngFuPanStep);
    SetPiece(FuPanQiPan, m.toRank, m.toFile, m.eaten);
    SetPiece(FuPanQiPan, m.fromRank, m.fromFile, m.piece);
    makeDisplay();
    --lngFuPanStep;
    const QiPuMove before = *GetQiPu(FuPanQiPuData, lngFuPanStep);
    lstQiPu.select(static_cast<int>(lngFuPanStep) - 1);
    bteFuPanSide = static_cast<std::uint8_t>(
        1 - SideOf(PieceAt(FuPanQiPan, before.toRank, before.toFile)) % 2);
    setRunFlag(before.fromRank, before.fromFile, before.toRank, before.toFile);
}

void ReplayModel::goTo(int line) {
    const long target = line + 1;
    if (target < 1 || target > moves()) return;
    while (lngFuPanStep > target && lngFuPanStep > 1)
        prev();
    while (lngFuPanStep < target)
        next();
}

void ReplayModel::click(int row, int col) {
    if (!OnBoard(row, col)) return;
    const Piece c = FuPanShowQiPan[row][col];
    const bool own = c != kNoPiece && SideOf(c) == bteFuPanSide;
    if (own) {
        // Selecting keeps the last-move markers but stops their blinking.
        markers_.selected = true;
        markers_.selRow = row;
        markers_.selCol = col;
        return;
    }
    if (!markers_.selected) return;
    userMove(markers_.selRow, markers_.selCol, row, col);
}

void ReplayModel::userMove(int fromRow, int fromCol, int toRow, int toCol) {
    std::uint8_t fr = 0, ff = 0, tr = 0, tf = 0;
    ToShowPos(redView_, static_cast<std::uint8_t>(fromRow), static_cast<std::uint8_t>(fromCol), fr,
              ff);
    ToShowPos(redView_, static_cast<std::uint8_t>(toRow), static_cast<std::uint8_t>(toCol), tr, tf);
    if (!CanMoveQiZi(FuPanQiPan, fr, ff, tr, tf)) return;
    while (lstQiPu.count() > lngFuPanStep)
        lstQiPu.removeLast();
    ++lngFuPanStep;
    FuPanQiPuData.resize(static_cast<std::size_t>(lngFuPanStep) + 1);
    const Piece piece = FuPanQiPan[fr][ff];
    FuPanQiPuData[static_cast<std::size_t>(lngFuPanStep)] =
        QiPuItem{PackPoint(fr, ff), piece, PackPoint(tr, tf), FuPanQiPan[tr][tf]};
    lstQiPu.addLine(QiPuLine(FuPanQiPuData, lngFuPanStep));
    lstQiPu.select(lstQiPu.count() - 1);
    FuPanQiPan[tr][tf] = piece;
    FuPanQiPan[fr][ff] = kNoPiece;
    bteFuPanSide = static_cast<std::uint8_t>(1 - SideOf(piece) % 2);
    makeDisplay();
    setRunFlag(fr, ff, tr, tf);
    markers_.selected = false;
}

}  // namespace xq

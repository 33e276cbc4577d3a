#include "game/replay_model.h"

#include <algorithm>

#include "records/record_lines.h"
#include "rules/fen.h"
#include "rules/legality.h"

namespace xq {

bool ReplayModel::display(int rank, int file, int& row, int& col) const {
    if (!OnBoard(rank, file)) return false;
    std::uint8_t r = 0, c = 0;
    ToShowPos(shownView_, static_cast<std::uint8_t>(rank), static_cast<std::uint8_t>(file), r, c);
    row = r;
    col = c;
    return true;
}

QString ReplayModel::line(long k) const {
    const QString text = recordLine(FuPanQiPuData, k, start_.sideToMove());
    const auto mark = static_cast<std::size_t>(k - 1);
    if (k >= 1 && mark < marks_.size() && !marks_[mark].isEmpty())
        return text + u' ' + marks_[mark];
    return text;
}

void ReplayModel::setMarks(const std::vector<QString>& marks) {
    marks_ = marks;
    for (long k = 1; k <= moves(); ++k)
        lstQiPu.setLine(static_cast<int>(k - 1), line(k));
}

void ReplayModel::buildList() {
    FuPanQiPan = start_.toQiPan();
    lstQiPu.clear();
    for (long k = 1; k <= moves(); ++k) {
        const QiPuMove m = *GetQiPu(FuPanQiPuData, k);
        setPiece(FuPanQiPan, m.fromRank, m.fromFile, kNoPiece);
        setPiece(FuPanQiPan, m.toRank, m.toFile, m.piece);
        lstQiPu.addLine(line(k));
    }
}

void ReplayModel::makeDisplay() {
    shownView_ = (redView_ > 0) != flipped_ ? 1 : 0;
    BuildShowQiPan(FuPanQiPan, shownView_, FuPanShowQiPan);
}

void ReplayModel::setRunFlag(int fromRank, int fromFile, int toRank, int toFile) {
    markers_.selected = false;  // a new last move ends any selection
    markers_.run = display(fromRank, fromFile, markers_.fromRow, markers_.fromCol) &&
                   display(toRank, toFile, markers_.toRow, markers_.toCol);
}

void ReplayModel::open(const QiPuHistory& history, const QString& path, const Position& start) {
    FuPanQiPuData = history.empty() ? QiPuHistory{QiPuItem{}} : history;
    strFuPanFile = path;
    marks_.clear();
    start_ = start;
    buildList();
    makeDisplay();
    markers_ = {};
    const QiPuMove last = *GetQiPu(FuPanQiPuData, moves());
    if (moves() > 0) setRunFlag(last.fromRank, last.fromFile, last.toRank, last.toFile);
    bteFuPanSide = moves() > 0 ? static_cast<std::uint8_t>(1 - SideOf(last.piece) % 2)
                               : static_cast<std::uint8_t>(start_.sideToMove());
    lngFuPanStep = moves();
    lstQiPu.select(static_cast<int>(moves()) - 1);
}

void ReplayModel::next() {
    if (lngFuPanStep >= moves()) return;
    ++lngFuPanStep;
    const QiPuMove m = *GetQiPu(FuPanQiPuData, lngFuPanStep);
    lstQiPu.select(static_cast<int>(lngFuPanStep) - 1);
    const Piece moving = pieceAt(FuPanQiPan, m.fromRank, m.fromFile);
    setPiece(FuPanQiPan, m.toRank, m.toFile, moving);
    setPiece(FuPanQiPan, m.fromRank, m.fromFile, kNoPiece);
    bteFuPanSide = static_cast<std::uint8_t>(1 - SideOf(m.piece) % 2);
    makeDisplay();
    setRunFlag(m.fromRank, m.fromFile, m.toRank, m.toFile);
}

void ReplayModel::prev() {
    if (lngFuPanStep <= 0) return;
    const QiPuMove m = *GetQiPu(FuPanQiPuData, lngFuPanStep);
    setPiece(FuPanQiPan, m.toRank, m.toFile, m.eaten);
    setPiece(FuPanQiPan, m.fromRank, m.fromFile, m.piece);
    makeDisplay();
    --lngFuPanStep;
    lstQiPu.select(static_cast<int>(lngFuPanStep) - 1);
    if (lngFuPanStep == 0) {
        // Back at the start: no move to mark, no line to highlight.
        bteFuPanSide = static_cast<std::uint8_t>(start_.sideToMove());
        markers_ = {};
        return;
    }
    const QiPuMove before = *GetQiPu(FuPanQiPuData, lngFuPanStep);
    bteFuPanSide = static_cast<std::uint8_t>(
        1 - SideOf(pieceAt(FuPanQiPan, before.toRank, before.toFile)) % 2);
    setRunFlag(before.fromRank, before.fromFile, before.toRank, before.toFile);
}

void ReplayModel::goTo(int line) {
    const long target = line + 1;
    if (target < 0 || target > moves()) return;
    while (lngFuPanStep > target)
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
    ToShowPos(shownView_, static_cast<std::uint8_t>(fromRow), static_cast<std::uint8_t>(fromCol),
              fr, ff);
    ToShowPos(shownView_, static_cast<std::uint8_t>(toRow), static_cast<std::uint8_t>(toCol), tr,
              tf);
    playBoardMove(fr, ff, tr, tf);
}

bool ReplayModel::playBoardMove(int fr, int ff, int tr, int tf) {
    if (!CanMoveQiZi(FuPanQiPan, fr, ff, tr, tf)) return false;
    // The rest of the game is replaced: what was said about it no longer holds.
    if (!marks_.empty()) setMarks({});
    while (lstQiPu.count() > lngFuPanStep)
        lstQiPu.removeLast();
    ++lngFuPanStep;
    FuPanQiPuData.resize(static_cast<std::size_t>(lngFuPanStep) + 1);
    const Piece piece = FuPanQiPan[fr][ff];
    FuPanQiPuData[static_cast<std::size_t>(lngFuPanStep)] =
        QiPuItem{packPoint(fr, ff), piece, packPoint(tr, tf), FuPanQiPan[tr][tf]};
    lstQiPu.addLine(line(lngFuPanStep));
    lstQiPu.select(lstQiPu.count() - 1);
    FuPanQiPan[tr][tf] = piece;
    FuPanQiPan[fr][ff] = kNoPiece;
    bteFuPanSide = static_cast<std::uint8_t>(1 - SideOf(piece) % 2);
    makeDisplay();
    setRunFlag(fr, ff, tr, tf);
    markers_.selected = false;
    return true;
}

int ReplayModel::play(const std::vector<Move>& moves) {
    int played = 0;
    for (const Move m : moves) {
        if (m.from >= kSquares || m.to >= kSquares) break;
        const Piece piece = FuPanQiPan[rankOfSquare(m.from)][fileOfSquare(m.from)];
        // Only the side to move moves; a line for another position stops here.
        if (piece == kNoPiece || SideOf(piece) != bteFuPanSide) break;
        if (!playBoardMove(rankOfSquare(m.from), fileOfSquare(m.from), rankOfSquare(m.to),
                           fileOfSquare(m.to)))
            break;
        ++played;
    }
    return played;
}

std::vector<Move> ReplayModel::allMoves() const {
    std::vector<Move> all;
    for (long k = 1; k < static_cast<long>(FuPanQiPuData.size()); ++k) {
        const QiPuItem& item = FuPanQiPuData[static_cast<std::size_t>(k)];
        const int fromRank = item.bteFromPos >> 4, fromFile = item.bteFromPos & 15;
        const int toRank = item.bteToPos >> 4, toFile = item.bteToPos & 15;
        if (!OnBoard(fromRank, fromFile) || !OnBoard(toRank, toFile)) break;
        all.push_back(Move{static_cast<std::uint8_t>(squareOf(fromRank, fromFile)),
                           static_cast<std::uint8_t>(squareOf(toRank, toFile))});
    }
    return all;
}

std::vector<Move> ReplayModel::movesToShown() const {
    std::vector<Move> moves = allMoves();
    moves.resize(std::min(moves.size(), static_cast<std::size_t>(std::max(0L, lngFuPanStep))));
    return moves;
}

void ReplayModel::flip() {
    flipped_ = !flipped_;
    makeDisplay();
    // A half turn: every display point goes to the opposite one.
    auto turn = [](int& row, int& col) {
        row = kRanks - 1 - row;
        col = kFiles - 1 - col;
    };
    if (markers_.run) {
        turn(markers_.fromRow, markers_.fromCol);
        turn(markers_.toRow, markers_.toCol);
    }
    if (markers_.selected) turn(markers_.selRow, markers_.selCol);
}

std::string ReplayModel::fen() const {
    return toFen(Position::fromQiPan(FuPanQiPan, bteFuPanSide));
}

}  // namespace xq

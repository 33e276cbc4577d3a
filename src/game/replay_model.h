#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "game/move_list.h"
#include "rules/board.h"
#include "rules/history.h"
#include "rules/position.h"

namespace xq {

// A stored game as the replay shows it: its own history, logical and display boards, the move
// whose position is shown, the side to move there, the last-move markers and the selection. The
// user may step through the game or play a move of his own, which replaces the rest of the game.
// A game may start from any position; most start from the opening position.
class ReplayModel {
public:
    // redView: the orientation of the table's view, which the replay shares until it is flipped.
    explicit ReplayModel(const std::uint8_t& redView) : redView_(redView) {}

    // Shows a history at its last move; a history without moves shows its start.
    void open(const QiPuHistory& history, const QString& path,
              const Position& start = Position::Initial());
    // One move forward or back; back from the first move is the start position. To a list line
    // (0-based; -1 is the start position).
    void next();
    void prev();
    void goTo(int line);
    // A click on a display point: selects a piece of the side to move, or plays the selected
    // piece there when the rules allow it.
    void click(int row, int col);
    // Plays moves from the shown position as the user's own (the rest of the game is replaced),
    // up to the first that cannot be played there; how many were.
    int play(const std::vector<Move>& moves);
    // The moves from the start to the shown position.
    std::vector<Move> movesToShown() const;
    // The moves from the start to the end of the game.
    std::vector<Move> allMoves() const;
    // Marks written after the move lines (marks[k] after move k + 1's), e.g. an analysis's "?";
    // forgotten when the game changes.
    void setMarks(const std::vector<QString>& marks);
    // Turns the board round, markers and selection with it; the table's own view stays.
    void flip();

    const Position& start() const { return start_; }
    // The position shown, side to move included, as FEN.
    std::string fen() const;
    // The orientation the board is shown in (1: red at the bottom), for the file numbers.
    const std::uint8_t& shownRedView() const { return shownView_; }
    bool flipped() const { return flipped_; }

    const QiPuHistory& history() const { return FuPanQiPuData; }
    const QiPan& board() const { return FuPanQiPan; }
    const QiPan& showBoard() const { return FuPanShowQiPan; }
    // The move whose position is shown; 0 for the start position.
    long step() const { return lngFuPanStep; }
    long moves() const { return qiPuUpperBound(FuPanQiPuData); }
    std::uint8_t sideToMove() const { return bteFuPanSide; }
    const QString& file() const { return strFuPanFile; }
    QiPuLineList& list() { return lstQiPu; }

    struct Markers {
        bool run = false;  // last-move markers shown
        int fromRow = 0, fromCol = 0, toRow = 0, toCol = 0;
        bool selected = false;  // a piece is selected
        int selRow = -1, selCol = -1;
    };
    const Markers& markers() const { return markers_; }

private:
    void buildList();
    void makeDisplay();
    void setRunFlag(int fromRank, int fromFile, int toRank, int toFile);
    bool display(int rank, int file, int& row, int& col) const;
    void userMove(int fromRow, int fromCol, int toRow, int toCol);
    bool playBoardMove(int fromRank, int fromFile, int toRank, int toFile);
    QString line(long k) const;

    const std::uint8_t& redView_;
    bool flipped_ = false;
    std::uint8_t shownView_ = 1;  // what the display board was last built with
    Position start_ = Position::Initial();
    QiPuHistory FuPanQiPuData{QiPuItem{}};
    QiPan FuPanQiPan{};
    QiPan FuPanShowQiPan{};
    long lngFuPanStep = 0;
    std::uint8_t bteFuPanSide = 1;
    QString strFuPanFile;
    QiPuLineList lstQiPu;
    Markers markers_;
    std::vector<QString> marks_;
};

}  // namespace xq

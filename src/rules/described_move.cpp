#include "rules/described_move.h"

#include <cstdlib>

#include "rules/allowed_moves.h"

namespace xq {
namespace {

// What a description may name about a move in its position.
struct MoveFacts {
    int kind = 0;
    int file = 0;                  // 1..9 from the mover's right
    int index = 0;                 // pieces of the kind in front of it on its file
    int count = 0;                 // pieces of the kind on its file, itself included
    bool otherFileShared = false;  // another file holds two or more of the kind
    char direction{};
    int target = 0;
};

int fileNumber(int side, int file) {
    return side == kRed ? kFiles - file : file + 1;
}

// Nearer the opponent: lower ranks for red, higher ranks for black.
bool inFront(int side, int rank, int than) {
    return side == kRed ? rank < than : rank > than;
}

MoveFacts factsOf(const Position& pos, Move move) {
    const Piece p = pos.at(move.from);
    const int side = SideOf(p);
    const int fromRank = rankOfSquare(move.from), fromFile = fileOfSquare(move.from);
    const int toRank = rankOfSquare(move.to), toFile = fileOfSquare(move.to);

    MoveFacts f;
    f.kind = kindOf(p);
    f.file = fileNumber(side, fromFile);
    for (int file = 0; file < kFiles; ++file) {
        int onFile = 0;
        for (int rank = 0; rank < kRanks; ++rank) {
            if (pos.at(squareOf(rank, file)) != p) continue;
            ++onFile;
            if (file == fromFile && inFront(side, rank, fromRank)) ++f.index;
        }
        if (file == fromFile) {
            f.count = onFile;
        } else if (onFile >= 2) {
            f.otherFileShared = true;
        }
    }

    const int dr = toRank - fromRank;
    if (dr == 0) {
        f.direction = '.';
        f.target = fileNumber(side, toFile);
    } else {
        f.direction = (side == kRed ? dr < 0 : dr > 0) ? '+' : '-';
        const bool diagonal = f.kind == kHorse || f.kind == kAdvisor || f.kind == kElephant;
        f.target = diagonal ? fileNumber(side, toFile) : std::abs(dr);
    }
    return f;
}

bool markFits(const DescribedMove& d, const MoveFacts& f) {
    if (f.count < 2) return false;
    switch (d.mark) {
        case Mark::Front:
            return f.index == 0;
        case Mark::Rear:
            return f.index == f.count - 1;
        case Mark::Middle:
            return f.count == 3 && f.index == 1;
        case Mark::Ordinal:
            return f.index == d.ordinal - 1;
        case Mark::None:
            break;
    }
    return false;
}

bool Fits(const DescribedMove& d, const MoveFacts& f) {
    if (d.kind != f.kind || d.direction != f.direction || d.target != f.target) return false;
    if (d.file != 0 && d.file != f.file) return false;
    if (d.mark == Mark::None) return d.file != 0;
    return markFits(d, f);
}

}  // namespace

DescribedMove describeMove(const Position& pos, Move move) {
    const MoveFacts f = factsOf(pos, move);
    DescribedMove d;
    d.kind = f.kind;
    d.direction = f.direction;
    d.target = f.target;
    const bool fixedPath = f.kind == kAdvisor || f.kind == kElephant || f.kind == kKing;
    if (fixedPath || f.count < 2) {
        d.file = f.file;
        return d;
    }
    d.among = f.count;
    if (f.count == 2) {
        d.mark = f.index == 0 ? Mark::Front : Mark::Rear;
    } else if (f.count == 3) {
        d.mark = f.index == 0 ? Mark::Front : f.index == 1 ? Mark::Middle : Mark::Rear;
    } else {
        d.mark = Mark::Ordinal;
        d.ordinal = f.index + 1;
    }
    if (f.kind == kPawn && f.otherFileShared) d.file = f.file;
    return d;
}

FindResult findDescribedMove(const Position& pos, const DescribedMove& d, Move* found) {
    MoveList allowed;
    generateAllowedMoves(pos, allowed);
    MoveList fitting;
    for (Move m : allowed) {
        if (Fits(d, factsOf(pos, m))) fitting.push(m);
    }
    if (fitting.empty()) return FindResult::NoMove;
    if (fitting.size() == 1) {
        *found = fitting[0];
        return FindResult::Found;
    }
    Position trial = pos;
    int safe = 0;
    for (Move m : fitting) {
        if (isLegalMove(trial, m)) {
            ++safe;
            *found = m;
        }
    }
    return safe == 1 ? FindResult::Found : FindResult::Ambiguous;
}

}  // namespace xq

#include "rules/fen.h"

#include <array>
#include <sstream>
#include <vector>

#include "rules/movegen.h"

namespace xq {
namespace {

constexpr std::string_view kLetters = " rnckabp";  // index = kind
constexpr std::array<int, 8> kMaxCount = {0, 2, 2, 2, 1, 2, 2, 5};

int kindOfLetter(char lower) {
    switch (lower) {
        case 'r':
            return kChariot;
        case 'n':
        case 'h':
            return kHorse;
        case 'c':
            return kCannon;
        case 'k':
            return kKing;
        case 'a':
            return kAdvisor;
        case 'b':
        case 'e':
            return kElephant;
        case 'p':
            return kPawn;
        default:
            return 0;
    }
}

bool inPalace(int side, int sq) {
    const int r = rankOfSquare(sq), f = fileOfSquare(sq);
    if (f < 3 || f > 5) return false;
    return side == kBlack ? r <= 2 : r >= 7;
}

// Ranks as moves name them: 0..9 from red's side (the FEN's first row is rank 9).
int rankNumber(int fenRow) {
    return kRanks - 1 - fenRow;
}

std::string rankName(int rank) {
    return "rank " + std::to_string(rank);
}

// Whether a piece of this kind can ever stand there: advisors keep to their five palace points,
// elephants to their seven on their own half, pawns never go back.
bool canEverStand(int side, int kind, int sq) {
    // Seen from the piece's own side: row 0 is its back rank.
    const int row = side == kBlack ? rankOfSquare(sq) : kRanks - 1 - rankOfSquare(sq);
    const int f = fileOfSquare(sq);
    switch (kind) {
        case kAdvisor:
            return (row == 0 || row == 2) ? (f == 3 || f == 5) : (row == 1 && f == 4);
        case kElephant:
            return ((row == 0 || row == 4) && (f == 2 || f == 6)) ||
                   (row == 2 && (f == 0 || f == 4 || f == 8));
        case kPawn:
            return row >= 5 || ((row == 3 || row == 4) && f % 2 == 0);
        default:
            return true;
    }
}

std::optional<Position> Fail(FenFault* out, FenFault fault) {
    if (out != nullptr) *out = std::move(fault);
    return std::nullopt;
}

FenFault Fault(FenFault::Kind kind) {
    FenFault f;
    f.kind = kind;
    return f;
}

FenFault rankFault(FenFault::Kind kind, int fenRow) {
    FenFault f = Fault(kind);
    f.rank = rankNumber(fenRow);
    return f;
}

FenFault letterFault(FenFault::Kind kind, char letter) {
    FenFault f = Fault(kind);
    f.letter = letter;
    return f;
}

FenFault sideFault(FenFault::Kind kind, int side) {
    FenFault f = Fault(kind);
    f.pieceSide = side;
    return f;
}

}  // namespace

std::optional<Position> parseFen(std::string_view fen, FenFault* fault) {
    std::istringstream in{std::string(fen)};
    std::string placement, side;
    in >> placement >> side;
    if (placement.empty()) return Fail(fault, Fault(FenFault::Empty));

    Position pos;
    std::array<std::array<int, 8>, 2> counts{};
    int rank = 0, file = 0;
    for (char ch : placement) {
        if (ch == '/') {
            if (file != kFiles) {
                FenFault f = rankFault(FenFault::RankWidth, rank);
                f.files = file;
                return Fail(fault, f);
            }
            if (++rank >= kRanks) return Fail(fault, Fault(FenFault::TooManyRanks));
            file = 0;
        } else if (ch >= '1' && ch <= '9') {
            file += ch - '0';
            if (file > kFiles) return Fail(fault, rankFault(FenFault::RankTooLong, rank));
        } else {
            const bool red = ch >= 'A' && ch <= 'Z';
            const char lower = red ? static_cast<char>(ch - 'A' + 'a') : ch;
            const int kind = kindOfLetter(lower);
            if (kind == 0) return Fail(fault, letterFault(FenFault::UnknownLetter, ch));
            if (file >= kFiles) return Fail(fault, rankFault(FenFault::RankTooLong, rank));
            const int s = red ? kRed : kBlack;
            if (++counts[s][kind] > kMaxCount[kind]) {
                return Fail(fault, letterFault(FenFault::TooManyPieces, ch));
            }
            pos.put(squareOf(rank, file), makePiece(s, kind));
            ++file;
        }
    }
    if (rank != kRanks - 1 || file != kFiles) return Fail(fault, Fault(FenFault::BoardSize));

    if (side.empty() || side == "w" || side == "r") {
        pos.setSideToMove(kRed);
    } else if (side == "b") {
        pos.setSideToMove(kBlack);
    } else {
        FenFault f = Fault(FenFault::BadSide);
        f.side = side;
        return Fail(fault, f);
    }

    for (int sq = 0; sq < kSquares; ++sq) {
        const Piece p = pos.at(sq);
        if (p == kNoPiece || canEverStand(SideOf(p), kindOf(p), sq)) continue;
        FenFault f = sideFault(FenFault::UnreachablePoint, SideOf(p));
        f.pieceKind = kindOf(p);
        f.square = sq;
        return Fail(fault, f);
    }
    for (int s : {kBlack, kRed}) {
        if (counts[s][kKing] != 1) return Fail(fault, sideFault(FenFault::KingCount, s));
        if (!inPalace(s, pos.kingSquare(s))) {
            return Fail(fault, sideFault(FenFault::KingOutsidePalace, s));
        }
    }
    if (kingExposed(pos, Opponent(pos.sideToMove()))) {
        return Fail(fault, Fault(FenFault::kingExposed));
    }
    return pos;
}

std::optional<Position> parseFen(std::string_view fen, std::string* error) {
    FenFault fault;
    auto pos = parseFen(fen, &fault);
    if (!pos && error != nullptr) *error = fenFaultText(fault);
    return pos;
}

std::string fenSquareName(int square) {
    return std::string{static_cast<char>('a' + fileOfSquare(square)),
                       static_cast<char>('0' + (kRanks - 1 - rankOfSquare(square)))};
}

std::string fenFaultText(const FenFault& fault) {
    const std::string side = fault.pieceSide == kRed ? "red" : "black";
    switch (fault.kind) {
        case FenFault::Empty:
            return "empty FEN";
        case FenFault::RankWidth:
            return rankName(fault.rank) + " has " + std::to_string(fault.files) +
                   " files instead of 9";
        case FenFault::TooManyRanks:
            return "more than 10 ranks";
        case FenFault::RankTooLong:
            return rankName(fault.rank) + " is too long";
        case FenFault::UnknownLetter:
            return std::string("unknown piece letter '") + fault.letter + "'";
        case FenFault::TooManyPieces:
            return std::string("too many pieces '") + fault.letter + "'";
        case FenFault::BoardSize:
            return "the board must have 10 ranks of 9 files";
        case FenFault::BadSide:
            return "side to move must be 'w' or 'b', not '" + fault.side + "'";
        case FenFault::UnreachablePoint: {
            static constexpr const char* kNames[8] = {"",     "chariot", "horse",    "cannon",
                                                      "king", "advisor", "elephant", "pawn"};
            return "a " + side + " " + kNames[fault.pieceKind & 7] + " can never stand on " +
                   fenSquareName(fault.square);
        }
        case FenFault::KingCount:
            return side + " must have one king";
        case FenFault::KingOutsidePalace:
            return side + " king is outside its palace";
        case FenFault::kingExposed:
            return "the side not to move has its king exposed";
    }
    return "bad FEN";
}

std::string toFen(const Position& pos) {
    std::string out;
    for (int r = 0; r < kRanks; ++r) {
        if (r > 0) out += '/';
        int empty = 0;
        for (int f = 0; f < kFiles; ++f) {
            const Piece p = pos.at(squareOf(r, f));
            const int kind = kindOf(p);
            if (p == kNoPiece || kind < 1 || kind > 7) {
                ++empty;
                continue;
            }
            if (empty > 0) out += static_cast<char>('0' + empty);
            empty = 0;
            const char letter = kLetters[static_cast<std::size_t>(kind)];
            out += SideOf(p) == kRed ? static_cast<char>(letter - 'a' + 'A') : letter;
        }
        if (empty > 0) out += static_cast<char>('0' + empty);
    }
    out += pos.sideToMove() == kRed ? " w" : " b";
    out += " - - 0 1";
    return out;
}

}  // namespace xq

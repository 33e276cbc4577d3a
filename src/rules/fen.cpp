#include "rules/fen.h"

#include <array>
#include <sstream>
#include <vector>

#include "rules/movegen.h"

namespace xq {
namespace {

constexpr std::string_view kLetters = " rnckabp";  // index = kind
constexpr std::array<int, 8> kMaxCount = {0, 2, 2, 2, 1, 2, 2, 5};

int KindOfLetter(char lower) {
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

bool InPalace(int side, int sq) {
    const int r = RankOfSquare(sq), f = FileOfSquare(sq);
    if (f < 3 || f > 5) return false;
    return side == kBlack ? r <= 2 : r >= 7;
}

// Squares as moves are written: file letter a..i from red's left, rank digit 0..9 from red's
// side (the FEN's first row is rank 9).
std::string SquareName(int sq) {
    return std::string{static_cast<char>('a' + FileOfSquare(sq)),
                       static_cast<char>('0' + (kRanks - 1 - RankOfSquare(sq)))};
}

std::string RankName(int fenRow) {
    return "rank " + std::to_string(kRanks - 1 - fenRow);
}

// Whether a piece of this kind can ever stand there: advisors keep to their five palace points,
// elephants to their seven on their own half, pawns never go back.
bool CanEverStand(int side, int kind, int sq) {
    // Seen from the piece's own side: row 0 is its back rank.
    const int row = side == kBlack ? RankOfSquare(sq) : kRanks - 1 - RankOfSquare(sq);
    const int f = FileOfSquare(sq);
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

std::optional<Position> Fail(std::string* error, const std::string& why) {
    if (error != nullptr) *error = why;
    return std::nullopt;
}

}  // namespace

std::optional<Position> ParseFen(std::string_view fen, std::string* error) {
    std::istringstream in{std::string(fen)};
    std::string placement, side;
    in >> placement >> side;
    if (placement.empty()) return Fail(error, "empty FEN");

    Position pos;
    std::array<std::array<int, 8>, 2> counts{};
    int rank = 0, file = 0;
    for (char ch : placement) {
        if (ch == '/') {
            if (file != kFiles) {
                return Fail(
                    error, RankName(rank) + " has " + std::to_string(file) + " files instead of 9");
            }
            if (++rank >= kRanks) return Fail(error, "more than 10 ranks");
            file = 0;
        } else if (ch >= '1' && ch <= '9') {
            file += ch - '0';
            if (file > kFiles) return Fail(error, RankName(rank) + " is too long");
        } else {
            const bool red = ch >= 'A' && ch <= 'Z';
            const char lower = red ? static_cast<char>(ch - 'A' + 'a') : ch;
            const int kind = KindOfLetter(lower);
            if (kind == 0) return Fail(error, std::string("unknown piece letter '") + ch + "'");
            if (file >= kFiles) return Fail(error, RankName(rank) + " is too long");
            const int s = red ? kRed : kBlack;
            if (++counts[s][kind] > kMaxCount[kind]) {
                return Fail(error, std::string("too many pieces '") + ch + "'");
            }
            pos.put(SquareOf(rank, file), MakePiece(s, kind));
            ++file;
        }
    }
    if (rank != kRanks - 1 || file != kFiles)
        return Fail(error, "the board must have 10 ranks of 9 files");

    if (side.empty() || side == "w" || side == "r") {
        pos.setSideToMove(kRed);
    } else if (side == "b") {
        pos.setSideToMove(kBlack);
    } else {
        return Fail(error, "side to move must be 'w' or 'b', not '" + side + "'");
    }

    for (int sq = 0; sq < kSquares; ++sq) {
        const Piece p = pos.at(sq);
        if (p == kNoPiece || CanEverStand(SideOf(p), KindOf(p), sq)) continue;
        static constexpr const char* kNames[8] = {"",     "chariot", "horse",    "cannon",
                                                  "king", "advisor", "elephant", "pawn"};
        return Fail(error, std::string(SideOf(p) == kRed ? "a red " : "a black ") +
                               kNames[KindOf(p) & 7] + " can never stand on " + SquareName(sq));
    }
    for (int s : {kBlack, kRed}) {
        const char* name = s == kRed ? "red" : "black";
        if (counts[s][kKing] != 1) return Fail(error, std::string(name) + " must have one king");
        if (!InPalace(s, pos.kingSquare(s))) {
            return Fail(error, std::string(name) + " king is outside its palace");
        }
    }
    if (KingExposed(pos, Opponent(pos.sideToMove()))) {
        return Fail(error, "the side not to move has its king exposed");
    }
    return pos;
}

std::string ToFen(const Position& pos) {
    std::string out;
    for (int r = 0; r < kRanks; ++r) {
        if (r > 0) out += '/';
        int empty = 0;
        for (int f = 0; f < kFiles; ++f) {
            const Piece p = pos.at(SquareOf(r, f));
            const int kind = KindOf(p);
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

#include "rules/movegen.h"

#include "rules/legality.h"

namespace xq {
namespace {

constexpr std::uint8_t kNone = 0xFF;

// A point reached in one step, with the point that must be empty on the way (the horse's leg,
// the elephant's eye) or kNone. In reverse tables `at` is where the attacker stands.
struct Step {
    std::uint8_t at = 0;
    std::uint8_t block = kNone;
};

struct Steps {
    std::array<Step, 8> items{};
    int size = 0;
    void push(Step s) {
        if (size < 8) items[static_cast<std::size_t>(size++)] = s;
    }
    const Step* begin() const { return items.data(); }
    const Step* end() const { return items.data() + size; }
};

struct Ray {
    std::array<std::uint8_t, 9> squares{};
    int size = 0;
    const std::uint8_t* begin() const { return squares.data(); }
    const std::uint8_t* end() const { return squares.data() + size; }
};

using StepTable = std::array<Steps, kSquares>;

// Ray directions: up, down (both along the file), left, right.
constexpr int kFileDirs = 2;

// Step tables derived from the rule routines themselves, so that generation agrees with them by
// construction. The reverse tables list, for a target point, where an attacker would stand.
struct Tables {
    std::array<std::array<Ray, 4>, kSquares> rays{};
    // [side][kind] forward and reverse tables of the stepping pieces.
    std::array<std::array<StepTable, 8>, 2> forward{};
    std::array<std::array<StepTable, 8>, 2> reverse{};

    Tables() {
        constexpr int kDr[4] = {-1, 1, 0, 0};
        constexpr int kDc[4] = {0, 0, -1, 1};
        for (int sq = 0; sq < kSquares; ++sq) {
            const int r = rankOfSquare(sq), c = fileOfSquare(sq);
            for (int d = 0; d < 4; ++d) {
                Ray& ray = rays[static_cast<std::size_t>(sq)][static_cast<std::size_t>(d)];
                for (int rr = r + kDr[d], cc = c + kDc[d]; OnBoard(rr, cc);
                     rr += kDr[d], cc += kDc[d]) {
                    ray.squares[static_cast<std::size_t>(ray.size++)] =
                        static_cast<std::uint8_t>(squareOf(rr, cc));
                }
            }
        }
        for (int side = 0; side < 2; ++side) {
            for (int kind : {kHorse, kElephant, kAdvisor, kKing, kPawn})
                fill(side, kind);
        }
    }

    void fill(int side, int kind) {
        QiPan board{};
        const Piece p = makePiece(side, kind);
        for (int from = 0; from < kSquares; ++from) {
            const int r1 = rankOfSquare(from), c1 = fileOfSquare(from);
            board[r1][c1] = p;
            for (int to = 0; to < kSquares; ++to) {
                const int r2 = rankOfSquare(to), c2 = fileOfSquare(to);
                if (!Allowed(kind, board, r1, c1, r2, c2)) continue;
                const std::uint8_t block = blockOf(kind, r1, c1, r2, c2);
                forward[side][kind][from].push(Step{static_cast<std::uint8_t>(to), block});
                reverse[side][kind][to].push(Step{static_cast<std::uint8_t>(from), block});
            }
            board[r1][c1] = kNoPiece;
        }
    }

    static bool Allowed(int kind, const QiPan& b, int r1, int c1, int r2, int c2) {
        switch (kind) {
            case kHorse:
                return RuleMa(b, r1, c1, r2, c2);
            case kElephant:
                return RuleXiang(b, r1, c1, r2, c2);
            case kAdvisor:
                return RuleShi(b, r1, c1, r2, c2);
            case kKing:
                return RuleJiang(b, r1, c1, r2, c2);
            case kPawn:
                return RuleBing(b, r1, c1, r2, c2);
            default:
                return false;
        }
    }

    static std::uint8_t blockOf(int kind, int r1, int c1, int r2, int c2) {
        const auto toward = [](int from, int to) { return from + (to > from ? 1 : -1); };
        if (kind == kHorse) {
            const bool alongFile = r2 - r1 == 2 || r2 - r1 == -2;
            return static_cast<std::uint8_t>(alongFile ? squareOf(toward(r1, r2), c1)
                                                       : squareOf(r1, toward(c1, c2)));
        }
        if (kind == kElephant) {
            return static_cast<std::uint8_t>(squareOf(toward(r1, r2), toward(c1, c2)));
        }
        return kNone;
    }
};

const Tables& tablesInstance() {
    static const Tables tables;
    return tables;
}

bool isOwn(Piece target, int side) {
    return target != kNoPiece && SideOf(target) == side;
}

void addSteps(const Position& pos, int from, int side, const Steps& steps, MoveList& out) {
    for (const Step& s : steps) {
        if (s.block != kNone && pos.at(s.block) != kNoPiece) continue;
        if (isOwn(pos.at(s.at), side)) continue;
        out.push(Move{static_cast<std::uint8_t>(from), s.at});
    }
}

bool attackedBySteps(const Position& pos, const Steps& from, Piece attacker) {
    for (const Step& s : from) {
        if (pos.at(s.at) == attacker && (s.block == kNone || pos.at(s.block) == kNoPiece)) {
            return true;
        }
    }
    return false;
}

}  // namespace

void generatePseudoMoves(const Position& pos, MoveList& out) {
    const Tables& t = tablesInstance();
    const int side = pos.sideToMove();
    for (int from = 0; from < kSquares; ++from) {
        const Piece p = pos.at(from);
        if (p == kNoPiece || SideOf(p) != side) continue;
        const int kind = kindOf(p);
        if (kind == kChariot || kind == kCannon) {
            for (const Ray& ray : t.rays[static_cast<std::size_t>(from)]) {
                bool screened = false;
                for (std::uint8_t to : ray) {
                    const Piece target = pos.at(to);
                    if (!screened) {
                        if (target == kNoPiece) {
                            out.push(Move{static_cast<std::uint8_t>(from), to});
                            continue;
                        }
                        if (kind == kChariot) {
                            if (!isOwn(target, side))
                                out.push(Move{static_cast<std::uint8_t>(from), to});
                            break;
                        }
                        screened = true;
                    } else if (target != kNoPiece) {
                        if (!isOwn(target, side))
                            out.push(Move{static_cast<std::uint8_t>(from), to});
                        break;
                    }
                }
            }
        } else if (kind >= kHorse && kind <= kPawn) {
            addSteps(pos, from, side, t.forward[side][kind][from], out);
        }
    }
}

bool kingExposed(const Position& pos, int side) {
    const int k = pos.kingSquare(side);
    if (k < 0) return false;
    const Tables& t = tablesInstance();
    const int opp = Opponent(side);
    const Piece chariot = makePiece(opp, kChariot), cannon = makePiece(opp, kCannon);
    const Piece king = makePiece(opp, kKing);
    const auto& rays = t.rays[static_cast<std::size_t>(k)];
    for (int d = 0; d < 4; ++d) {
        const Ray& ray = rays[static_cast<std::size_t>(d)];
        int i = 0;
        while (i < ray.size && pos.at(ray.squares[static_cast<std::size_t>(i)]) == kNoPiece)
            ++i;
        if (i == ray.size) continue;
        const Piece first = pos.at(ray.squares[static_cast<std::size_t>(i)]);
        if (first == chariot || (d < kFileDirs && first == king)) return true;
        for (++i; i < ray.size; ++i) {
            const Piece second = pos.at(ray.squares[static_cast<std::size_t>(i)]);
            if (second == kNoPiece) continue;
            if (second == cannon) return true;
            break;
        }
    }
    for (int kind : {kHorse, kPawn, kAdvisor, kElephant, kKing}) {
        if (attackedBySteps(pos, t.reverse[opp][kind][k], makePiece(opp, kind))) return true;
    }
    return false;
}

bool isLegalMove(Position& pos, Move m) {
    const int side = pos.sideToMove();
    const Piece captured = pos.makeMove(m);
    const bool exposed = kingExposed(pos, side);
    pos.unmakeMove(m, captured);
    return !exposed;
}

void generateLegalMoves(Position& pos, MoveList& out) {
    MoveList pseudo;
    generatePseudoMoves(pos, pseudo);
    out.clear();
    for (Move m : pseudo) {
        if (isLegalMove(pos, m)) out.push(m);
    }
}

std::uint64_t perft(Position& pos, int depth) {
    if (depth <= 0) return 1;
    MoveList moves;
    generateLegalMoves(pos, moves);
    if (depth == 1) return static_cast<std::uint64_t>(moves.size());
    std::uint64_t total = 0;
    for (Move m : moves) {
        const Piece captured = pos.makeMove(m);
        total += perft(pos, depth - 1);
        pos.unmakeMove(m, captured);
    }
    return total;
}

}  // namespace xq

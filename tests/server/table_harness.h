#pragma once

#include <gtest/gtest.h>

#include <QHash>
#include <QStringList>
#include <array>
#include <initializer_list>
#include <optional>

#include "../support/bytes.h"
#include "net/cp936.h"
#include "server/table.h"

namespace xq::server::test {

using xq::test::Bytes;

inline Cmd Text(std::initializer_list<int> head, const QString& text) {
    return Bytes(head) + encodeCp936(text);
}

// Keeps everything the table sends, per recipient.
class RecordingOutput : public TableOutput {
public:
    void send(const ConnIds& to, const Cmd& message) override {
        for (ConnId id : to)
            inbox[id].append(message);
    }
    void close(ConnId id) override { closed.append(id); }
    void log(const QString& line) override { lines.append(line); }

    void clear() { inbox.clear(); }

    QHash<ConnId, QList<Cmd>> inbox;
    QList<ConnId> closed;
    QStringList lines;
};

// A move as (rank, file) of the from-point and the to-point.
using Step = std::array<int, 4>;

// Horses out and back: moves that never end a game.
inline constexpr std::array<Step, 4> kShuffle = {Step{9, 1, 7, 2}, Step{0, 1, 2, 2},
                                                 Step{7, 2, 9, 1}, Step{2, 2, 0, 1}};

inline const QString kDefaultTerms = QStringLiteral("100`1000`10`5`50`0`0`30`0`0`30");

// A table with two players, 张三 (the owner, id 1) and 李四 (id 2), and a clock under the test's
// control.
class TableFixture : public ::testing::Test {
protected:
    static constexpr ConnId kOwner = 1;
    static constexpr ConnId kGuest = 2;
    const QString owner = QStringLiteral("张三");
    const QString guest = QStringLiteral("李四");

    void login(ConnId id, const QString& name) { table.login(id, name, true); }
    void seatBoth() {
        login(kOwner, owner);
        login(kGuest, guest);
    }
    void say(ConnId id, const Cmd& m) { table.receive(id, m); }
    void advance(qint64 ms) {
        now += ms;
        table.advanceTo(now);
    }

    // Raises the owner's hand, sets the terms and lets the guest agree: the first game starts.
    void agree(const QString& terms = kDefaultTerms) {
        say(kOwner, Text({112, 1}, owner));
        say(kOwner, Text({112, 0}, owner + u'`' + terms));
        say(kGuest, Text({112, 1}, guest));
    }
    void startGame(const QString& terms = kDefaultTerms) {
        seatBoth();
        agree(terms);
        ASSERT_EQ(table.phase(), TablePhase::Playing);
        out.clear();
    }
    // Both raise their hands after a game.
    void nextGame() {
        say(conn[0], Bytes({18, 0}));
        say(conn[1], Bytes({18, 1}));
    }

    ConnId moverConn() const { return conn[static_cast<std::size_t>(table.game().toMove())]; }

    Cmd moveMessage(int seat, const Step& s) const {
        const QiPan& b = table.game().board();
        return Bytes({19, 0, seat, packPoint(s[0], s[1]), pieceAt(b, s[0], s[1]),
                      packPoint(s[2], s[3]), pieceAt(b, s[2], s[3]), 0, 0, 0});
    }
    // The seat to move plays the step; true when the table echoed it.
    bool play(const Step& s) {
        const int seat = table.game().toMove();
        const long before = table.game().halfMoves();
        say(conn[static_cast<std::size_t>(seat)], moveMessage(seat, s));
        return table.game().halfMoves() == before + 1 || table.phase() != TablePhase::Playing;
    }
    void playAll(std::initializer_list<Step> steps) {
        for (const Step& s : steps)
            ASSERT_TRUE(play(s)) << "step " << s[0] << s[1] << s[2] << s[3];
    }
    // Enough for the game to count, back where it began; what the moves sent is forgotten.
    void playTwoEach() {
        for (const Step& s : kShuffle)
            ASSERT_TRUE(play(s));
        out.clear();
    }

    QList<Cmd> inbox(ConnId id) const { return out.inbox.value(id); }
    // The last message with this code (and sub-code, when given) that the id received.
    std::optional<Cmd> last(ConnId id, int code, int sub = -1) const {
        const QList<Cmd> msgs = inbox(id);
        for (auto it = msgs.rbegin(); it != msgs.rend(); ++it) {
            if (!it->isEmpty() && byteAt(*it, 0) == code &&
                (sub < 0 || (it->size() > 1 && byteAt(*it, 1) == sub)))
                return *it;
        }
        return std::nullopt;
    }
    int count(ConnId id, int code) const {
        int n = 0;
        for (const Cmd& m : inbox(id))
            n += !m.isEmpty() && byteAt(m, 0) == code;
        return n;
    }

    RecordingOutput out;
    RoomTable table{out};
    qint64 now = 0;
    std::array<ConnId, 2> conn{kOwner, kGuest};
};

// A short line that ends with black checkmated: red's cannons take the pawn and the elephant.
inline constexpr std::initializer_list<Step> kMateLine = {
    {7, 7, 7, 6}, {2, 1, 2, 6}, {7, 6, 3, 6}, {0, 3, 1, 4}, {3, 6, 0, 6}};

// A line that ends with red to move and without a legal move, its king not attacked.
inline constexpr std::initializer_list<Step> kStalemateLine = {
    {7, 1, 0, 1}, {0, 0, 0, 1}, {7, 7, 0, 7}, {2, 1, 6, 1}, {0, 7, 0, 5}, {2, 7, 2, 8},
    {9, 2, 7, 4}, {0, 4, 0, 5}, {9, 0, 7, 0}, {6, 1, 6, 4}, {7, 4, 9, 2}, {6, 4, 6, 0},
    {7, 0, 6, 0}, {2, 8, 6, 8}, {6, 0, 3, 0}, {0, 1, 9, 1}, {9, 8, 6, 8}, {9, 1, 9, 2},
    {6, 8, 3, 8}, {0, 8, 3, 8}, {3, 0, 5, 0}, {9, 2, 6, 2}, {5, 0, 5, 8}, {3, 8, 5, 8},
    {9, 7, 7, 6}, {6, 2, 6, 6}, {9, 5, 8, 4}, {6, 6, 7, 6}, {9, 6, 7, 4}, {7, 6, 7, 4}};

// Red's central cannon checks through a pawn, black ignores it, and the cannon takes the king.
inline constexpr std::initializer_list<Step> kKingCaptureLine = {
    {7, 7, 7, 4}, {0, 0, 1, 0}, {6, 4, 5, 4}, {1, 0, 0, 0}, {5, 4, 4, 4},
    {0, 0, 1, 0}, {4, 4, 3, 4}, {1, 0, 0, 0}, {7, 4, 0, 4}};

}  // namespace xq::server::test

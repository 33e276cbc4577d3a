#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <functional>
#include <optional>

#include "../support/bytes.h"
#include "net/cp936.h"
#include "rules/movegen.h"
#include "server/bot/bot_game.h"
#include "server/room_server.h"

namespace xq::server::test {

using xq::test::Bytes;

inline Cmd Text(std::initializer_list<int> head, const QString& text) {
    return Bytes(head) + encodeCp936(text);
}

// The bot's game takes messages as the codec reads them; false for a message it refuses.
inline bool Start(BotGame& g, const Cmd& m) {
    const tablemsg::ParsedEvent parsed = tablemsg::parseEvent(m);
    const auto* start = tablemsg::eventAs<tablemsg::GameStart>(parsed);
    return start && g.start(*start);
}
inline bool ApplyEcho(BotGame& g, const Cmd& m) {
    const tablemsg::ParsedEvent parsed = tablemsg::parseEvent(m);
    const auto* echo = tablemsg::eventAs<tablemsg::MoveEcho>(parsed);
    return echo && g.applyEcho(*echo);
}
inline bool Resume(BotGame& g, const Cmd& m) {
    const tablemsg::ParsedEvent parsed = tablemsg::parseEvent(m);
    const auto* snapshot = tablemsg::eventAs<tablemsg::RunningSnapshot>(parsed);
    return snapshot && g.resume(*snapshot);
}

// Spins the event loop until the condition holds or the time is up.
inline bool Eventually(const std::function<bool()>& condition, int ms = 15000) {
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return condition();
}

// A person at the table, inside the process: it receives what a socket client would receive,
// keeps its own picture of the game from the echoes, and sends what a client would send.
class TableClient : public Endpoint {
public:
    TableClient(RoomServer& server, QString name) : server_(server), name_(std::move(name)) {}
    ~TableClient() override {
        if (id_) server_.drop(*id_);
    }

    void login() {
        id_ = server_.attach(this);
        server_.submitLogin(*id_, name_, true);
    }
    void say(const Cmd& m) { server_.submit(*id_, m); }
    void sayText(std::initializer_list<int> head, const QString& text) { say(Text(head, text)); }

    void deliver(const Cmd& m, const QByteArray&) override {
        inbox.append(m);
        if (m.isEmpty()) return;
        switch (byteAt(m, 0)) {
            case 17:
                Start(game, m);
                break;
            case 19:
                if (m.size() == 10) moveWasLegal.append(legalHere(m));
                ApplyEcho(game, m);
                break;
            case 20:
                if (m.size() == 3 && byteAt(m, 1) == 2) game.undoTwo();
                break;
            case 25:
                game.stop();
                break;
            case 109:
                Resume(game, m);
                break;
            default:
                break;
        }
    }
    void finish() override { finished = true; }

    int count(int code, int sub = -1, int seat = -1) const {
        int n = 0;
        for (const Cmd& m : inbox)
            n += matches(m, code, sub, seat);
        return n;
    }
    std::optional<Cmd> last(int code, int sub = -1, int seat = -1) const {
        for (auto it = inbox.rbegin(); it != inbox.rend(); ++it) {
            if (matches(*it, code, sub, seat)) return *it;
        }
        return std::nullopt;
    }
    // Waits for one more message like this than there is now: for answers that come later,
    // never for what the table sends back at once.
    bool awaitNext(int code, int sub = -1, int seat = -1, int ms = 15000) {
        const int before = count(code, sub, seat);
        return Eventually([&] { return count(code, sub, seat) > before; }, ms);
    }

    // Plays the first legal move of the own side; the table echoes it.
    void playSomething(int seat) {
        Position pos = game.position();
        MoveList moves;
        generateLegalMoves(pos, moves);
        ASSERT_FALSE(moves.empty());
        const Move m = moves[0];
        say(Bytes({19, 0, seat, packPoint(rankOfSquare(m.from), fileOfSquare(m.from)),
                   pos.at(m.from), packPoint(rankOfSquare(m.to), fileOfSquare(m.to)), pos.at(m.to),
                   0, 0, 0}));
    }

    const QString& name() const { return name_; }

    BotGame game;
    QList<Cmd> inbox;
    // For every echoed move: whether it was legal in the position it was played from.
    QList<bool> moveWasLegal;
    bool finished = false;

private:
    static bool matches(const Cmd& m, int code, int sub, int seat) {
        if (m.isEmpty() || byteAt(m, 0) != code) return false;
        if (sub >= 0 && (m.size() < 2 || byteAt(m, 1) != sub)) return false;
        if (seat >= 0 && (m.size() < 3 || byteAt(m, 2) != seat)) return false;
        return true;
    }
    bool legalHere(const Cmd& echo) const {
        Position pos = game.position();
        MoveList moves;
        generateLegalMoves(pos, moves);
        const int r1 = packedRank(byteAt(echo, 3)), f1 = packedFile(byteAt(echo, 3));
        const int r2 = packedRank(byteAt(echo, 5)), f2 = packedFile(byteAt(echo, 5));
        if (!OnBoard(r1, f1) || !OnBoard(r2, f2)) return false;
        const Move m{static_cast<std::uint8_t>(squareOf(r1, f1)),
                     static_cast<std::uint8_t>(squareOf(r2, f2))};
        for (Move x : moves) {
            if (x == m) return true;
        }
        return false;
    }

    RoomServer& server_;
    QString name_;
    std::optional<ConnId> id_;
};

}  // namespace xq::server::test

#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <deque>
#include <optional>

#include "engine/level.h"
#include "server/bot/bot_game.h"
#include "server/bot/bot_options.h"
#include "server/bot/bot_policy.h"
#include "server/bot/move_source.h"
#include "server/endpoint.h"
#include "server/room_server.h"

namespace xq::server {

// How quickly the bot does things. A person takes a moment to raise a hand or answer a
// question, and a move that appears the instant one's own lands feels wrong.
struct BotTiming {
    int pollMs = 500;           // looking for a person in seat 0
    int replyMs = 1000;         // raising the hand, agreeing, answering a request
    int minThinkMs = 900;       // no move arrives sooner than this after the turn began
    int retryLoginMs = 10'000;  // after a refused login
};

struct BotConfig {
    BotOptions options;
    BotTiming timing;
    BotPolicyConfig policy;
    // Most time a move may take, when lower than the level's own (0: the level's).
    int moveCapMs = 0;
    std::size_t tableMegabytes = 16;
    std::uint32_t seed = 20240601;
    // Where what happens to an engine of its own is told (the server's log).
    std::function<void(const QString&)> log = [](const QString&) {};
};

// The computer opponent: a participant inside the server process that joins through the same
// paths as a socket client and sends exactly what a client sends. It takes seat 1 once a person
// has taken seat 0 (so the person owns the table), raises its hand, agrees to the owner's terms,
// plays, answers requests, and leaves when the person leaves. Messages are handled one event-loop
// turn after they arrive, never inside the table's own call.
class BotPlayer : public QObject, public Endpoint {
public:
    BotPlayer(RoomServer& server, BotConfig config, QObject* parent = nullptr);
    ~BotPlayer() override;

    void deliver(const Cmd& message, const QByteArray& frame) override;
    void finish() override;

    bool seated() const { return conn_.has_value(); }
    int seat() const { return seat_; }
    const BotGame& game() const { return game_; }

private:
    enum class Phase { Out, Waiting, Settings, Playing, BetweenGames, Loading };

    void poll();
    void processInbox();
    void handle(const Cmd& m);
    void onList(const QStringList& rows);
    void onArrival(const QString& row);
    void onLeft(const QString& name);
    void onTableSettings(const QStringList& fields);
    void onHand(const tablemsg::HandsUp& hand);
    void onSnapshot(const tablemsg::ParsedEvent& parsed);
    void onGameStart(const tablemsg::GameStart& start);
    void onRaisedHand(int seat);
    void onEcho(const tablemsg::MoveEcho& echo);
    void onRequest(std::uint8_t code, std::uint8_t sub, int seat);
    void onNotice();
    void onGameEnd();

    void dropFinished();
    void send(const Cmd& m);
    void later(int ms, std::function<void()> action);
    void scheduleHand();
    void agreeToTerms();
    void leave();
    void greet();

    bool myTurn() const;
    qint64 turnElapsed() const { return sinceStart_.elapsed() - turnStartMs_; }
    void beginTurn();
    void requestMove();
    void onMoveChosen(int ticket, const engine::Choice& choice);
    void playMove(int ticket, Move m);
    void assessDraw();
    void answer(std::uint8_t code, bool agree);
    void resign();

    RoomServer& server_;
    BotConfig config_;
    engine::LevelProfile profile_;
    BotPolicy policy_;
    BotGame game_;
    std::unique_ptr<MoveSource> mover_;
    QTimer poller_;

    std::optional<ConnId> conn_;
    bool loggingIn_ = false;
    qint64 loginBlockedUntilMs_ = 0;
    std::vector<ConnId> toDrop_;
    QElapsedTimer sinceStart_;
    struct Arrival {
        Cmd message;
        qint64 atMs;  // on sinceStart_
    };
    std::deque<Arrival> inbox_;
    qint64 handlingSinceMs_ = 0;  // arrival of the message being handled
    bool inboxScheduled_ = false;

    Phase phase_ = Phase::Out;
    int seat_ = 1;
    int face_ = 0;
    QString other_;  // the person in the other seat
    bool handUp_ = false;
    bool termsSeen_ = false;  // a game has started since the bot sat down
    bool greeted_ = false;
    bool newGame_ = true;
    // Every change of situation gets a new number; timers and search answers carry the number
    // they were started under and do nothing when it is no longer current.
    int epoch_ = 0;
    int ticket_ = 0;
    // The turn began when the message that gave it arrived: the table starts the clock then.
    qint64 turnStartMs_ = 0;
    engine::MoveBudget budget_;
    std::vector<Move> refused_;
    std::optional<Move> sent_;
};

}  // namespace xq::server

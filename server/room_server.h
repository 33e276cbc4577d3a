#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "server/account_book.h"
#include "server/account_desk.h"
#include "server/client_connection.h"
#include "server/connection_caps.h"
#include "server/endpoint.h"
#include "server/listener.h"
#include "server/ready_watch.h"
#include "server/room.h"
#include "server/table.h"

namespace xq::server {

class TlsContext;

struct ServerOptions {
    int tables = 1;
    StatsStore* store = nullptr;  // where players are kept between runs; none: in memory only
    ChatRate chat;
    int maxConnections = 3000;
    // Per address (IPv6 per /64): connections, and connections that have not logged in yet;
    // loopback connections count only towards the caps in all, unless countLoopback.
    int maxPerAddress = 16;
    int maxPendingPerAddress = 4;
    int maxPending = 0;  // not logged in yet, in all; 0: a quarter of maxConnections
    bool countLoopback = false;
    ConnectionTimeouts timeouts;
    qint64 reservationMs = 60'000;  // how long a place granted in the hall waits for its client
    // The room's accounts: with them, hall users log in with passwords and table clients with
    // the tickets of their grants; without, everybody is a guest.
    AccountBook* accounts = nullptr;
    LoginGuard::Limits guessing;
    // With a context, a connection that opens with a TLS handshake speaks TLS on the same port;
    // tlsOnly: the others are refused.
    std::shared_ptr<TlsContext> tls;
    bool tlsOnly = false;
};

// The network side of the server: accepts connections, hands logged-in participants and their
// messages to the room (its tables and its hall), routes the room's output to sockets or
// in-process endpoints, and moves the tables' clocks on.
class RoomServer : public QObject, private TableOutput {
    Q_OBJECT
public:
    using LogSink = std::function<void(const QString&)>;

    explicit RoomServer(LogSink logSink, ServerOptions options = {}, QObject* parent = nullptr);
    ~RoomServer() override;

    bool listen(const QHostAddress& host, quint16 port);
    quint16 port() const { return listener_.serverPort(); }
    QString errorString() const { return listener_.errorString(); }

    // A participant inside the process (the computer opponent) joins through the same paths as
    // a socket: attach it, then log it in and feed its messages by id. It sits at table 1.
    ConnId attach(Endpoint* endpoint);
    void submitLogin(ConnId id, const QString& name, bool allowWatch, const QString& ticket = {});
    void submitHallLogin(ConnId id, const QString& name, const QString& ticket);
    // An account's hello; `secure` when it came over TLS.
    void submitAccountHello(ConnId id, const QHostAddress& from, bool secure, const QString& name,
                            const QString& password, bool registering);
    void submit(ConnId id, const Cmd& message);
    void drop(ConnId id);

    // Table 1 to tableCount().
    const RoomTable& table(int number = 1) const { return room_.table(number); }
    int tableCount() const { return room_.tableCount(); }

    // Running games kept for a restart: what changed is handed to the keeper at most every
    // `everyMs`, one batch at a time; the keeper calls done(true) once it is kept, done(false)
    // when it could not be, and the batch is offered again.
    using Keeper = std::function<void(const Room::RunningChanges&, std::function<void(bool)>)>;
    void keepRunningGames(Keeper keeper, int everyMs = 500);
    // Games kept before a restart, set up again at their tables; how many were (`stored`: see
    // Room::resumeGames).
    int resumeGames(const std::vector<RunningGame>& kept, bool stored = true);
    // Every running game as it stands, for the last save before the server stops.
    std::vector<RunningGame> runningGames() const { return room_.runningGames(); }
    // The server stops: no new connection or login is taken, everybody is told why, and every
    // connection ends after what was sent to it. The games stay as they are, to be kept.
    void beginShutdown(const QString& notice);
    // Connections whose last words have not all reached their peers yet.
    int undeliveredConnections() const;

private:
    void onAccepted(qintptr descriptor);
    void tick();
    // Connections that have not logged in within the login window go. One sweep of the oldest
    // arrivals, instead of a timer for each: a crowd opening thousands of connections a second
    // would fill the event loop's timer list.
    void dropLateLogins();
    // Sockets write once per event-loop turn: everything the table sent them in this turn goes
    // out in one system call each.
    void requestFlush(ClientConnection* conn);
    void postEndOfTurn();
    void endOfTurn();
    void flushHall();
    // Work that waits for a later turn keeps its order: a connection's messages never overtake
    // its login.
    struct Deferred {
        enum class Kind { Message, TableLogin, HallLogin };
        ConnId id = 0;
        Kind kind = Kind::Message;
        QString name;
        bool allowWatch = true;
        QString ticket;
        Cmd message;
    };
    void defer(Deferred work);
    void runDeferred();
    void introduced(ConnId id);
    void doLogin(const Deferred& work);
    // A connection the room took in no longer counts as waiting for its login.
    void noteLoggedIn(ConnId id);
    // Messages of a connection whose password is being checked wait for the answer.
    void onAccountDecided(ConnId id, bool in);
    bool secureOf(ConnId id) const;

    void send(const ConnIds& to, const Cmd& message) override;
    void close(ConnId id) override;
    void log(const QString& line) override;

    void keepTick();

    Keeper keeper_;
    QTimer keepTimer_;
    bool keeping_ = false;  // a batch is with the keeper
    bool stopping_ = false;
    LogSink logSink_;
    ReadyWatch readyWatch_;
    Listener listener_;
    StatsBook stats_;
    Room room_;
    AccountDesk desk_;
    QHash<ConnId, QList<Cmd>> heldForDesk_;
    QHash<ConnId, QPointer<ClientConnection>> sockets_;
    ConnectionCaps caps_;
    ConnectionTimeouts timeouts_;
    struct Arrival {
        ConnId id;
        qint64 atMs;
    };
    std::deque<Arrival> arrivals_;  // oldest first
    std::shared_ptr<TlsContext> tls_;
    bool tlsOnly_ = false;
    QHash<ConnId, Endpoint*> endpoints_;
    QSet<ConnId> inProcess_;
    ConnId nextId_ = 1;
    QElapsedTimer clock_;
    QTimer ticker_;
    std::vector<QPointer<ClientConnection>> toFlush_;
    bool endOfTurnPosted_ = false;
    // A crowd arriving at once is let in a batch per turn, each batch's output sent before the
    // next: what is queued at any moment stays small, and the table's players are not held up.
    // Every hall newcomer of a turn is sent the whole hall: a turn takes as many as make about
    // kHallBytesPerTurn of it, and none while the hall's writes of earlier turns still wait.
    static constexpr int kLoginsPerTurn = 64;
    static constexpr int kMinLoginsPerTurn = 4;
    static constexpr qint64 kHallBytesPerTurn = 1024 * 1024;
    static constexpr qint64 kRowBytes = 64;  // a hall row, about
    int loginsPerTurn() const;
    int loginsThisTurn_ = 0;
    bool writesBehind_ = false;
    // The batch for everybody in the hall goes at most every hall users / kHallUsersPerMs ms (at
    // most kMaxHallBatchMs); the hall's writes take at most kHallWriteNsPerTurn of a turn.
    static constexpr qint64 kMaxHallBatchMs = 250;
    static constexpr int kHallUsersPerMs = 12;
    static constexpr qint64 kHallWriteNsPerTurn = 2'000'000;
    qint64 lastHallBatchMs_ = -kMaxHallBatchMs;
    QTimer hallTimer_;
    std::deque<Deferred> deferred_;
    QHash<ConnId, int> waiting_;  // how many of deferred_ are a connection's
};

}  // namespace xq::server

#include "server/room_server.h"

#include <unistd.h>
#include <algorithm>

#include "net/frame.h"
#include "net/hall_messages.h"
#include "server/client_connection.h"

namespace xq::server {

RoomServer::RoomServer(LogSink logSink, ServerOptions options, QObject* parent)
    : QObject(parent),
      logSink_(std::move(logSink)),
      stats_(options.store),
      room_(*this,
            RoomOptions{options.tables, options.chat, options.reservationMs,
                        options.accounts != nullptr},
            stats_),
      desk_(options.accounts, room_, *this, options.guessing, [this] { return clock_.elapsed(); }),
      caps_(ConnectionCaps::Limits{options.maxConnections, options.maxPerAddress,
                                   options.maxPendingPerAddress, options.maxPending,
                                   options.countLoopback}),
      timeouts_(options.timeouts),
      tls_(std::move(options.tls)),
      tlsOnly_(options.tlsOnly && tls_) {
    connect(&desk_, &AccountDesk::decided, this, &RoomServer::onAccountDecided);
    room_.setHallWake([this] { postEndOfTurn(); });
    hallTimer_.setSingleShot(true);
    connect(&hallTimer_, &QTimer::timeout, this, &RoomServer::postEndOfTurn);
    // Chat and reservations are limited per address too: fresh connections are no fresh
    // allowance.
    room_.setAddressLookup([this](ConnId id) { return caps_.keyOf(id); });
    clock_.start();
    listener_.setListenBacklogSize(1024);
    connect(&listener_, &Listener::accepted, this, &RoomServer::onAccepted);
    connect(&ticker_, &QTimer::timeout, this, &RoomServer::tick);
    ticker_.start(200);
}

RoomServer::~RoomServer() {
    // The connections are children, deleted after the members; their sockets must leave the
    // watch while it is still there.
    qDeleteAll(findChildren<ClientConnection*>(Qt::FindDirectChildrenOnly));
}

bool RoomServer::listen(const QHostAddress& host, quint16 port) {
    return listener_.listen(host, port);
}

void RoomServer::keepRunningGames(Keeper keeper, int everyMs) {
    keeper_ = std::move(keeper);
    connect(&keepTimer_, &QTimer::timeout, this, &RoomServer::keepTick, Qt::UniqueConnection);
    keepTimer_.start(std::max(10, everyMs));
}

void RoomServer::keepTick() {
    if (!keeper_ || keeping_) return;
    room_.setNow(clock_.elapsed());
    Room::RunningChanges changes = room_.takeRunningChanges();
    if (changes.empty()) return;
    keeping_ = true;
    QPointer<RoomServer> self(this);
    keeper_(changes, [self, changes](bool kept) {
        if (!self) return;
        self->keeping_ = false;
        if (!kept) self->room_.keptFailed(changes);
    });
}

int RoomServer::resumeGames(const std::vector<RunningGame>& kept, bool stored) {
    room_.setNow(clock_.elapsed());
    return room_.resumeGames(kept, stored);
}

void RoomServer::beginShutdown(const QString& notice) {
    if (stopping_) return;
    stopping_ = true;
    listener_.close();
    keepTimer_.stop();
    deferred_.clear();
    const QByteArray told = hall::notice(notice);
    ConnIds everybody;
    for (auto it = sockets_.cbegin(); it != sockets_.cend(); ++it)
        everybody.append(it.key());
    send(everybody, told);
    for (ConnId id : std::as_const(everybody))
        close(id);
}

int RoomServer::undeliveredConnections() const {
    int n = 0;
    for (const auto& conn : sockets_) {
        if (conn && !conn->delivered()) ++n;
    }
    return n;
}

void RoomServer::tick() {
    dropLateLogins();
    room_.advanceTo(clock_.elapsed());
}

void RoomServer::dropLateLogins() {
    const qint64 now = clock_.elapsed();
    while (!arrivals_.empty() && now - arrivals_.front().atMs >= timeouts_.loginWindowMs) {
        const ConnId id = arrivals_.front().id;
        arrivals_.pop_front();
        // In, or waiting for its turn to log in or for its password check, or gone.
        if (room_.has(id) || waiting_.contains(id) || heldForDesk_.contains(id)) continue;
        if (ClientConnection* conn = sockets_.value(id))
            conn->drop(QStringLiteral("no login within %1 ms").arg(timeouts_.loginWindowMs));
    }
}

ConnId RoomServer::attach(Endpoint* endpoint) {
    const ConnId id = nextId_++;
    endpoints_.insert(id, endpoint);
    inProcess_.insert(id);
    return id;
}

void RoomServer::submitLogin(ConnId id, const QString& name, bool allowWatch,
                             const QString& ticket) {
    if (!endpoints_.contains(id)) return;
    introduced(id);
    Deferred work{id, Deferred::Kind::TableLogin, name, allowWatch, ticket, {}};
    if (deferred_.empty() && loginsThisTurn_ < loginsPerTurn()) return doLogin(work);
    defer(std::move(work));
}

void RoomServer::submitHallLogin(ConnId id, const QString& name, const QString& ticket) {
    if (!endpoints_.contains(id)) return;
    introduced(id);
    Deferred work{id, Deferred::Kind::HallLogin, name, true, ticket, {}};
    if (deferred_.empty() && loginsThisTurn_ < loginsPerTurn()) return doLogin(work);
    defer(std::move(work));
}

void RoomServer::submitAccountHello(ConnId id, const QHostAddress& from, bool secure,
                                    const QString& name, const QString& password,
                                    bool registering) {
    if (!endpoints_.contains(id)) return;
    if (stopping_) return close(id);
    // Its password check is paced and has its own deadline: it waits for the server, not silent.
    introduced(id);
    room_.setNow(clock_.elapsed());
    heldForDesk_.insert(id, {});
    desk_.hello(AccountDesk::Caller{id, from, secure}, name, password, registering);
}

void RoomServer::onAccountDecided(ConnId id, bool in) {
    const QList<Cmd> held = heldForDesk_.take(id);
    if (!in) return;
    noteLoggedIn(id);
    for (const Cmd& message : held)
        submit(id, message);
}

bool RoomServer::secureOf(ConnId id) const {
    const ClientConnection* conn = sockets_.value(id);
    return conn != nullptr && conn->isSecure();
}

void RoomServer::doLogin(const Deferred& work) {
    if (stopping_) return close(work.id);
    ++loginsThisTurn_;
    postEndOfTurn();
    room_.setNow(clock_.elapsed());
    if (work.kind == Deferred::Kind::HallLogin) {
        room_.hallLogin(work.id, work.name, work.ticket);
    } else if (inProcess_.contains(work.id)) {
        room_.botLogin(work.id, work.name);
    } else {
        room_.tableLogin(work.id, work.name, work.allowWatch, work.ticket);
    }
    noteLoggedIn(work.id);
}

void RoomServer::introduced(ConnId id) {
    // A whole, valid hello: if it now waits, it waits for the server's own pacing of logins (a
    // crowd arriving at once), and is no silent stranger's socket to close for a newer one.
    caps_.loggedIn(id);
}

void RoomServer::noteLoggedIn(ConnId id) {
    if (room_.has(id)) caps_.loggedIn(id);
}

void RoomServer::submit(ConnId id, const Cmd& message) {
    if (!endpoints_.contains(id)) return;
    if (const auto held = heldForDesk_.find(id); held != heldForDesk_.end()) {
        // A client that talks before it is let in gets a few messages kept, no more.
        constexpr int kMaxHeld = 16;
        if (held->size() < kMaxHeld) held->append(message);
        return;
    }
    if (room_.inHall(id) && !message.isEmpty() &&
        static_cast<std::uint8_t>(message[0]) == hall::code::kChangePassword) {
        const auto parsed = hall::parseClientMessage(message);
        const auto* change = parsed ? std::get_if<hall::in::ChangePassword>(&*parsed) : nullptr;
        if (change == nullptr) {
            send(ConnIds{id}, hall::passwordRefused(QStringLiteral("密码无效")));
            return;
        }
        const ClientConnection* conn = sockets_.value(id);
        room_.setNow(clock_.elapsed());
        desk_.changePassword(
            AccountDesk::Caller{id, conn ? conn->peerAddress() : QHostAddress(), secureOf(id)},
            change->oldPassword, change->newPassword);
        return;
    }
    // Only a connection's own login is waited for: the tables' players are not held up behind
    // a crowd of strangers' logins.
    if (waiting_.contains(id)) {
        defer(Deferred{id, Deferred::Kind::Message, {}, true, {}, message});
        return;
    }
    room_.setNow(clock_.elapsed());
    room_.receive(id, message);
}

int RoomServer::loginsPerTurn() const {
    if (writesBehind_) return 0;
    // Every newcomer of a turn is sent the whole hall at the end of it: so many that the turn's
    // writes stay within the budget, and the tables' echoes of that turn are not held up.
    const qint64 listBytes = static_cast<qint64>(room_.hallCount() + 1) * kRowBytes;
    return static_cast<int>(
        std::clamp<qint64>(kHallBytesPerTurn / listBytes, kMinLoginsPerTurn, kLoginsPerTurn));
}

void RoomServer::defer(Deferred work) {
    ++waiting_[work.id];
    deferred_.push_back(std::move(work));
    postEndOfTurn();
}

void RoomServer::runDeferred() {
    while (!deferred_.empty()) {
        const Deferred& work = deferred_.front();
        const bool login = work.kind != Deferred::Kind::Message;
        if (login && loginsThisTurn_ >= loginsPerTurn()) break;
        const Deferred next = std::move(deferred_.front());
        deferred_.pop_front();
        if (const auto w = waiting_.find(next.id); w != waiting_.end() && --*w <= 0)
            waiting_.erase(w);
        if (!endpoints_.contains(next.id)) continue;  // gone meanwhile
        if (login) {
            doLogin(next);
        } else {
            room_.setNow(clock_.elapsed());
            room_.receive(next.id, next.message);
        }
    }
    if (!deferred_.empty()) postEndOfTurn();
}

void RoomServer::drop(ConnId id) {
    if (!endpoints_.remove(id)) return;
    desk_.forget(id);
    heldForDesk_.remove(id);
    sockets_.remove(id);
    inProcess_.remove(id);
    room_.setNow(clock_.elapsed());
    room_.disconnect(id);
}

void RoomServer::onAccepted(qintptr descriptor) {
    if (stopping_) {
        ::close(static_cast<int>(descriptor));
        return;
    }
    const ConnId id = nextId_++;
    auto* conn = new ClientConnection(
        id, descriptor, readyWatch_, [this](ClientConnection* c) { requestFlush(c); }, timeouts_,
        this);
    const QHostAddress from = conn->peerAddress();
    const ConnectionCaps::Admission admission = caps_.admit(id, from);
    if (!admission.admitted) {
        log(QStringLiteral("connection %1 from %2 refused: %3 connections open, %4 not logged in")
                .arg(id)
                .arg(from.toString())
                .arg(caps_.total())
                .arg(caps_.pending()));
        delete conn;  // closes it
        return;
    }
    for (ConnId old : admission.evicted) {
        if (ClientConnection* c = sockets_.value(old))
            c->drop(QStringLiteral("not logged in, and a newer connection needs its place"));
    }
    arrivals_.push_back(Arrival{id, clock_.elapsed()});
    log(QStringLiteral("connection %1 from %2:%3")
            .arg(id)
            .arg(from.toString())
            .arg(conn->peerPort()));
    if (tls_) conn->offerTls(tls_, tlsOnly_);
    endpoints_.insert(id, conn);
    sockets_.insert(id, conn);
    connect(conn, &ClientConnection::logLine, this, &RoomServer::log);
    connect(
        conn, &ClientConnection::accountHello, this,
        [this, conn](ConnId hid, const QString& name, const QString& password, bool registering) {
            submitAccountHello(hid, conn->peerAddress(), conn->isSecure(), name, password,
                               registering);
        });
    connect(conn, &ClientConnection::loggedIn, this, &RoomServer::submitLogin);
    connect(conn, &ClientConnection::hallLoggedIn, this, &RoomServer::submitHallLogin);
    connect(conn, &ClientConnection::messageArrived, this, &RoomServer::submit);
    // Queued: a connection may end while the table is busy sending to it.
    connect(
        conn, &ClientConnection::gone, this,
        [this, conn](ConnId gone) {
            log(QStringLiteral("connection %1 closed").arg(gone));
            caps_.release(gone);
            drop(gone);
            conn->deleteLater();
        },
        Qt::QueuedConnection);
}

void RoomServer::requestFlush(ClientConnection* conn) {
    toFlush_.emplace_back(conn);
    postEndOfTurn();
}

void RoomServer::postEndOfTurn() {
    if (endOfTurnPosted_) return;
    endOfTurnPosted_ = true;
    // Runs after everything the event loop has for this turn (Qt sends events posted meanwhile
    // in the next one).
    QMetaObject::invokeMethod(this, &RoomServer::endOfTurn, Qt::QueuedConnection);
}

void RoomServer::endOfTurn() {
    // What the hall is told of this turn goes out with everything else the turn wrote (while
    // the turn's end is still marked as posted, so that these sends post no other).
    flushHall();
    endOfTurnPosted_ = false;
    std::vector<QPointer<ClientConnection>> batch;
    batch.swap(toFlush_);
    // The tables' connections first; then the hall's, for as long as the turn's budget lasts,
    // the rest in the next turn: a batch for a crowded hall is thousands of writes, and a move
    // echo waits for none of them.
    const auto hallConn = [this](const QPointer<ClientConnection>& c) {
        return c && room_.inHall(c->id());
    };
    std::stable_partition(batch.begin(), batch.end(),
                          [&](const QPointer<ClientConnection>& c) { return !hallConn(c); });
    QElapsedTimer spent;
    spent.start();
    for (auto it = batch.begin(); it != batch.end(); ++it) {
        if (!*it) continue;
        if (hallConn(*it) && spent.nsecsElapsed() > kHallWriteNsPerTurn) {
            toFlush_.insert(toFlush_.begin(), it, batch.end());
            postEndOfTurn();
            break;
        }
        (*it)->flush();
    }
    loginsThisTurn_ = 0;
    // Newcomers wait while the hall's writes are behind: each would add a whole hall to them.
    writesBehind_ = !toFlush_.empty();
    runDeferred();
}

void RoomServer::flushHall() {
    // Newcomers get the hall at once. The batch for everybody is a write to every hall user: it
    // goes at most so often that those writes take a small part of the time, which for a hall
    // of thousands is a few times a second, however short the turns.
    const qint64 every = std::min<qint64>(kMaxHallBatchMs, room_.hallCount() / kHallUsersPerMs);
    const qint64 now = clock_.elapsed();
    const qint64 since = now - lastHallBatchMs_;
    if (room_.flushHall(since >= every)) {
        lastHallBatchMs_ = now;
    } else if (room_.hallPending() && !hallTimer_.isActive()) {
        hallTimer_.start(static_cast<int>(std::clamp<qint64>(every - since, 1, kMaxHallBatchMs)));
    }
}

void RoomServer::send(const ConnIds& to, const Cmd& message) {
    const QByteArray frame = encodeFrame(message);
    for (ConnId id : to) {
        if (Endpoint* e = endpoints_.value(id)) e->deliver(message, frame);
    }
}

void RoomServer::close(ConnId id) {
    if (Endpoint* e = endpoints_.value(id)) e->finish();
}

void RoomServer::log(const QString& line) {
    if (logSink_) logSink_(line);
}

}  // namespace xq::server

#include "server/room_server.h"

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

void RoomServer::tick() {
    dropLateLogins();
    room_.advanceTo(clock_.elapsed());
}

void RoomServer::dropLateLogins() {
    const qint64 now = clock_.elapsed();
    while (!arrivals_.empty() && now - arrivals_.front().atMs >= timeouts_.loginWindowMs) {
        const ConnId id = arrivals_.front().id;
        arrivals_.pop_front();
        if (!caps_.waiting(id)) continue;  // in, or gone
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
    Deferred work{id, Deferred::Kind::TableLogin, name, allowWatch, ticket, {}};
    if (deferred_.empty() && loginsThisTurn_ < kLoginsPerTurn) return doLogin(work);
    deferred_.push_back(std::move(work));
    postEndOfTurn();
}

void RoomServer::submitHallLogin(ConnId id, const QString& name, const QString& ticket) {
    if (!endpoints_.contains(id)) return;
    Deferred work{id, Deferred::Kind::HallLogin, name, true, ticket, {}};
    if (deferred_.empty() && loginsThisTurn_ < kLoginsPerTurn) return doLogin(work);
    deferred_.push_back(std::move(work));
    postEndOfTurn();
}

void RoomServer::submitAccountHello(ConnId id, const QHostAddress& from, bool secure,
                                    const QString& name, const QString& password,
                                    bool registering) {
    if (!endpoints_.contains(id)) return;
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
    if (!deferred_.empty()) {
        deferred_.push_back(Deferred{id, Deferred::Kind::Message, {}, true, {}, message});
        return;
    }
    room_.setNow(clock_.elapsed());
    room_.receive(id, message);
}

void RoomServer::runDeferred() {
    while (!deferred_.empty()) {
        const Deferred& work = deferred_.front();
        const bool login = work.kind != Deferred::Kind::Message;
        if (login && loginsThisTurn_ >= kLoginsPerTurn) break;
        const Deferred next = std::move(deferred_.front());
        deferred_.pop_front();
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
    endOfTurnPosted_ = false;
    std::vector<QPointer<ClientConnection>> batch;
    batch.swap(toFlush_);
    for (const auto& conn : batch) {
        if (conn) conn->flush();
    }
    loginsThisTurn_ = 0;
    runDeferred();
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

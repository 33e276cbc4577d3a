#include "server/room_server.h"

#include "net/frame.h"
#include "server/client_connection.h"

namespace xq::server {

RoomServer::RoomServer(LogSink logSink, ServerOptions options, QObject* parent)
    : QObject(parent),
      logSink_(std::move(logSink)),
      stats_(options.store),
      room_(*this, RoomOptions{options.tables, options.chat, 60'000}, stats_),
      caps_(options.maxConnections, options.maxPerAddress),
      tls_(std::move(options.tls)),
      tlsOnly_(options.tlsOnly && tls_) {
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
    room_.advanceTo(clock_.elapsed());
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
}

void RoomServer::submit(ConnId id, const Cmd& message) {
    if (!endpoints_.contains(id)) return;
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
    inProcess_.remove(id);
    room_.setNow(clock_.elapsed());
    room_.disconnect(id);
}

void RoomServer::onAccepted(qintptr descriptor) {
    const ConnId id = nextId_++;
    auto* conn = new ClientConnection(
        id, descriptor, readyWatch_, [this](ClientConnection* c) { requestFlush(c); }, this);
    const QHostAddress from = conn->peerAddress();
    if (!caps_.admit(from)) {
        log(QStringLiteral("connection %1 from %2 refused: %3 connections open")
                .arg(id)
                .arg(from.toString())
                .arg(caps_.total()));
        delete conn;  // closes it
        return;
    }
    log(QStringLiteral("connection %1 from %2:%3")
            .arg(id)
            .arg(from.toString())
            .arg(conn->peerPort()));
    if (tls_) conn->offerTls(tls_, tlsOnly_);
    endpoints_.insert(id, conn);
    connect(conn, &ClientConnection::logLine, this, &RoomServer::log);
    connect(conn, &ClientConnection::loggedIn, this, &RoomServer::submitLogin);
    connect(conn, &ClientConnection::hallLoggedIn, this, &RoomServer::submitHallLogin);
    connect(conn, &ClientConnection::messageArrived, this, &RoomServer::submit);
    // Queued: a connection may end while the table is busy sending to it.
    connect(
        conn, &ClientConnection::gone, this,
        [this, conn, from](ConnId gone) {
            log(QStringLiteral("connection %1 closed").arg(gone));
            caps_.release(from);
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

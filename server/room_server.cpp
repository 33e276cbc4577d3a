#include "server/room_server.h"

#include "net/frame.h"
#include "server/client_connection.h"

namespace xq::server {

RoomServer::RoomServer(LogSink logSink, ChatRate chatRate, QObject* parent)
    : QObject(parent), logSink_(std::move(logSink)), table_(*this, chatRate) {
    clock_.start();
    listener_.setMaxPendingConnections(4096);
    listener_.setListenBacklogSize(1024);
    connect(&listener_, &QTcpServer::newConnection, this, &RoomServer::onNewConnection);
    connect(&ticker_, &QTimer::timeout, this, &RoomServer::tick);
    ticker_.start(200);
}

bool RoomServer::listen(const QHostAddress& host, quint16 port) {
    return listener_.listen(host, port);
}

void RoomServer::tick() {
    table_.advanceTo(clock_.elapsed());
}

ConnId RoomServer::attach(Endpoint* endpoint) {
    const ConnId id = nextId_++;
    endpoints_.insert(id, endpoint);
    return id;
}

void RoomServer::submitLogin(ConnId id, const QString& name, bool allowWatch,
                             const QString& ticket) {
    if (!endpoints_.contains(id)) return;
    tick();
    table_.login(id, name, allowWatch, ticket);
}

void RoomServer::submit(ConnId id, const Cmd& message) {
    if (!endpoints_.contains(id)) return;
    tick();
    table_.receive(id, message);
}

void RoomServer::drop(ConnId id) {
    if (!endpoints_.remove(id)) return;
    tick();
    table_.disconnect(id);
}

void RoomServer::onNewConnection() {
    while (QTcpSocket* socket = listener_.nextPendingConnection()) {
        const ConnId id = nextId_++;
        auto* conn = new ClientConnection(id, socket, this);
        log(QStringLiteral("connection %1 from %2:%3")
                .arg(id)
                .arg(socket->peerAddress().toString())
                .arg(socket->peerPort()));
        endpoints_.insert(id, conn);
        connect(conn, &ClientConnection::logLine, this, &RoomServer::log);
        connect(conn, &ClientConnection::loggedIn, this, &RoomServer::submitLogin);
        connect(conn, &ClientConnection::messageArrived, this, &RoomServer::submit);
        // Queued: a connection may end while the table is busy sending to it.
        connect(
            conn, &ClientConnection::gone, this,
            [this, conn](ConnId gone) {
                log(QStringLiteral("connection %1 closed").arg(gone));
                drop(gone);
                conn->deleteLater();
            },
            Qt::QueuedConnection);
    }
}

void RoomServer::send(const ConnIds& to, const Cmd& message) {
    const QByteArray frame = EncodeFrame(message);
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

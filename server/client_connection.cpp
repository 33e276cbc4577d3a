#include "server/client_connection.h"

#include <QTimer>

#include "server/hello.h"

namespace xq::server {

ClientConnection::ClientConnection(ConnId id, QTcpSocket* socket, QObject* parent)
    : QObject(parent), id_(id), socket_(socket) {
    socket_->setParent(this);
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(socket_, &QTcpSocket::readyRead, this, &ClientConnection::onReadyRead);
    connect(socket_, &QTcpSocket::bytesWritten, this, &ClientConnection::onBytesWritten);
    connect(socket_, &QTcpSocket::disconnected, this, &ClientConnection::onDisconnected);
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        if (socket_->state() == QAbstractSocket::UnconnectedState) onDisconnected();
    });
    // A connection that does not log in soon is not a table client; it must not hold a socket.
    QTimer::singleShot(kLoginWindowMs, this, [this] {
        if (stage_ == Stage::Hello || stage_ == Stage::Login) {
            fail(QStringLiteral("no login within %1 s").arg(kLoginWindowMs / 1000));
        }
    });
}

void ClientConnection::onReadyRead() {
    while (stage_ != Stage::Closing && stage_ != Stage::Closed && socket_->bytesAvailable() > 0) {
        const bool ok = reader_.feed(socket_->read(64 * 1024));
        while (reader_.hasFrame() && stage_ != Stage::Closing && stage_ != Stage::Closed)
            handleFrame(reader_.takeFrame());
        if (!ok) return fail(QStringLiteral("frame length out of bounds"));
    }
    if (stage_ == Stage::Closing || stage_ == Stage::Closed) socket_->readAll();  // discard
}

void ClientConnection::handleFrame(const QByteArray& frame) {
    switch (stage_) {
        case Stage::Hello:
            if (const auto hello = parseHello(frame)) {
                name_ = hello->name;
                ticket_ = hello->ticket;
                stage_ = Stage::Login;
                return;
            }
            return fail(QStringLiteral("the first frame is not a hello"));
        case Stage::Login:
            if (const auto allowWatch = parseLogin(frame)) {
                stage_ = Stage::In;
                emit loggedIn(id_, name_, *allowWatch, ticket_);
                return;
            }
            return fail(QStringLiteral("the second frame is not the login"));
        case Stage::In:
            emit messageArrived(id_, frame);
            return;
        default:
            return;
    }
}

void ClientConnection::fail(const QString& why) {
    emit logLine(QStringLiteral("protocol error on connection %1 (%2): %3")
                     .arg(id_)
                     .arg(name_.isEmpty() ? QStringLiteral("-") : name_, why));
    stage_ = Stage::Closed;
    socket_->abort();
    onDisconnected();
}

void ClientConnection::deliver(const Cmd&, const QByteArray& frame) {
    if (stage_ == Stage::Closed) return;
    if (!output_.push(frame, socket_->bytesToWrite())) {
        emit logLine(
            QStringLiteral("connection %1 (%2) reads too slowly: closed").arg(id_).arg(name_));
        stage_ = Stage::Closed;
        // Not from inside the table's call: the close is reported from the event loop.
        QTimer::singleShot(0, this, [this] {
            socket_->abort();
            onDisconnected();
        });
        return;
    }
    pump();
}

void ClientConnection::finish() {
    if (stage_ == Stage::Closed || stage_ == Stage::Closing) return;
    stage_ = Stage::Closing;
    pump();
}

void ClientConnection::pump() {
    const qint64 before = socket_->bytesToWrite();
    output_.pump(before, [this](const QByteArray& f) { socket_->write(f); });
    // Hand the bytes to the kernel now instead of on the socket's next write notification: with
    // a thousand watchers that round through the event loop is what a move's latency is made of.
    if (socket_->bytesToWrite() > before) socket_->flush();
    if (stage_ == Stage::Closing && output_.empty()) socket_->disconnectFromHost();
}

void ClientConnection::onBytesWritten() {
    if (stage_ != Stage::Closed) pump();
}

void ClientConnection::onDisconnected() {
    if (goneSent_) return;
    goneSent_ = true;
    stage_ = Stage::Closed;
    emit gone(id_);
}

}  // namespace xq::server

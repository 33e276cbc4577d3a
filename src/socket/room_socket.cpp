#include "socket/room_socket.h"

#include <algorithm>

#include "net/cp936.h"

namespace xq {

RoomSocket::RoomSocket(QObject* parent) : QObject(parent) {
    connect(&inbox_, &MessageInbox::message, this, &RoomSocket::dataArrived);
    connect(&inbox_, &MessageInbox::ended, this, [this](bool failedToConnect) {
        if (failedToConnect) {
            emit failed();
        } else {
            emit closed();
        }
    });
    connectTimer_.setSingleShot(true);
    connect(&connectTimer_, &QTimer::timeout, this, [this] {
        if (!everConnected_) {
            socket_.abort();
            finish(true);
        }
    });
    connect(&gate_, &TlsGate::ready, this, &RoomSocket::onConnected);
    connect(&socket_, &QTcpSocket::readyRead, this, &RoomSocket::onReadyRead);
    connect(&socket_, &QTcpSocket::disconnected, this, &RoomSocket::onDisconnected);
    connect(&socket_, &QTcpSocket::errorOccurred, this, &RoomSocket::onError);
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
}

RoomSocket::~RoomSocket() {
    // The socket reports its own teardown; nothing of this object may hear it any more.
    socket_.disconnect(this);
    socket_.abort();
}

void RoomSocket::connectTo(const QString& host, long port, long timeoutSeconds) {
    if (port < 1 || port > 65535 || host.isEmpty()) {
        QMetaObject::invokeMethod(
            this, [this] { finish(true); }, Qt::QueuedConnection);
        return;
    }
    if (timeoutSeconds > 0)
        connectTimer_.start(static_cast<int>(qMin(timeoutSeconds, 86400L) * 1000));
    gate_.connectTo(host, static_cast<quint16>(port), tlsPolicy_);
}

bool RoomSocket::isConnected() const {
    return everConnected_ && !ending_ && socket_.state() == QAbstractSocket::ConnectedState;
}

void RoomSocket::send(const QByteArray& message) {
    if (message.isEmpty() || static_cast<std::uint32_t>(message.size()) > kMaxFrame) return;
    if (!isConnected()) return;
    socket_.write(encodeFrame(message));
}

QByteArray helloText(const QString& name, const QString& ticket) {
    QByteArray hello = QByteArray(kHelloPrefix) + encodeCp936(name);
    if (isTicket(ticket)) hello += '`' + ticket.toLatin1();
    return hello;
}

bool isTicket(const QString& ticket) {
    if (ticket.isEmpty() || ticket.size() > kMaxTicketLength || ticket == u"-") return false;
    return std::all_of(ticket.cbegin(), ticket.cend(), [](QChar c) {
        return c.unicode() >= 0x21 && c.unicode() <= 0x7E && c != u'`';
    });
}

void RoomSocket::close() {
    if (socket_.state() != QAbstractSocket::UnconnectedState) socket_.disconnectFromHost();
}

void RoomSocket::closeAfterSending(int waitMs) {
    if (socket_.state() != QAbstractSocket::ConnectedState) return;
    socket_.disconnectFromHost();  // writes what is queued first
    if (socket_.state() != QAbstractSocket::UnconnectedState) socket_.waitForDisconnected(waitMs);
}

void RoomSocket::onConnected() {
    connectTimer_.stop();
    everConnected_ = true;
    socket_.write(encodeFrame(helloText(userName_, ticket_)));
    emit connected();
}

void RoomSocket::onReadyRead() {
    if (ending_) return;
    const bool intact = reader_.feed(socket_.readAll());
    // Whole messages before a broken frame still count.
    while (reader_.hasFrame())
        inbox_.push(reader_.takeFrame());
    if (!intact) {
        socket_.abort();  // a frame outside the limits: the connection is over
        finish(false);
    }
}

void RoomSocket::onDisconnected() {
    // Frames already in the socket's buffer still count.
    if (socket_.bytesAvailable() > 0) onReadyRead();
    finish(!everConnected_);
}

void RoomSocket::onError() {
    if (socket_.state() == QAbstractSocket::ConnectedState) return;  // disconnected() follows
    if (!everConnected_) finish(true);
}

void RoomSocket::finish(bool failedToConnect) {
    if (ending_) return;
    ending_ = true;
    connectTimer_.stop();
    inbox_.finish(failedToConnect);
}

}  // namespace xq

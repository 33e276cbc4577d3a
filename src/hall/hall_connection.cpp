#include "hall/hall_connection.h"

namespace xq::hall {

HallConnection::HallConnection(QObject* parent) : QObject(parent) {
    connectTimer_.setSingleShot(true);
    connect(&connectTimer_, &QTimer::timeout, this, [this] {
        socket_.abort();
        finish();
    });
    connect(&gate_, &TlsGate::ready, this, &HallConnection::onConnected);
    connect(&socket_, &QTcpSocket::readyRead, this, &HallConnection::onReadyRead);
    connect(&socket_, &QTcpSocket::disconnected, this, [this] {
        // Messages that came with the close still count (a refusal's reason comes that way).
        if (socket_.bytesAvailable() > 0) onReadyRead();
        finish();
    });
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this] {
        if (socket_.state() != QAbstractSocket::ConnectedState && !connected_) finish();
    });
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    keepAliveTimer_.setInterval(kKeepAliveMs);
    connect(&keepAliveTimer_, &QTimer::timeout, this, [this] { send(hall::keepAlive()); });
}

HallConnection::~HallConnection() {
    socket_.disconnect(this);
    socket_.abort();
}

void HallConnection::open(const QString& host, quint16 port, const QByteArray& hello, int timeoutMs,
                          const TlsPolicy& policy) {
    hello_ = hello;
    connectTimer_.start(timeoutMs);
    gate_.connectTo(host, port, policy);
}

void HallConnection::send(const QByteArray& message) {
    if (!isConnected() || message.isEmpty()) return;
    if (static_cast<std::uint32_t>(message.size()) > kMaxFrame) return;
    socket_.write(encodeFrame(message));
}

void HallConnection::leave() {
    if (!isConnected()) return;
    keepAliveTimer_.stop();
    send(hall::leave());
    // Into the system now: the hall may be closing, and its event loop with it.
    socket_.flush();
    socket_.disconnectFromHost();  // writes what is queued first
}

void HallConnection::abort() {
    ended_ = true;
    connectTimer_.stop();
    keepAliveTimer_.stop();
    socket_.abort();
}

bool HallConnection::isConnected() const {
    return connected_ && !ended_ && socket_.state() == QAbstractSocket::ConnectedState;
}

void HallConnection::onConnected() {
    connectTimer_.stop();
    connected_ = true;
    socket_.write(encodeFrame(hello_));
    keepAliveTimer_.start();
    emit opened();
}

void HallConnection::onReadyRead() {
    if (ended_) return;
    const bool intact = reader_.feed(socket_.readAll());
    // Whole messages before a broken frame still count; a listener may end the connection.
    while (reader_.hasFrame() && !ended_) {
        if (const auto message = parseServerMessage(reader_.takeFrame())) emit received(*message);
    }
    if (!intact && !ended_) {
        socket_.abort();
        finish();
    }
}

void HallConnection::finish() {
    if (ended_) return;
    ended_ = true;
    connectTimer_.stop();
    keepAliveTimer_.stop();
    if (connected_) {
        emit closed();
    } else {
        emit failed(gate_.problem());
    }
}

}  // namespace xq::hall

#include "server/client_connection.h"

#include <QTimer>
#include <algorithm>
#include <array>
#include <cstring>

#include "server/hello.h"
#include "server/table.h"

namespace xq::server {

ClientConnection::ClientConnection(ConnId id, qintptr descriptor, ReadyWatch& watch,
                                   FlushRequest requestFlush, const ConnectionTimeouts& timeouts,
                                   QObject* parent)
    : QObject(parent),
      id_(id),
      socket_(descriptor, watch, this),
      requestFlush_(std::move(requestFlush)),
      hallIdleMs_(timeouts.hallIdleMs) {
    connect(&socket_, &StreamSocket::readable, this, &ClientConnection::onReadable);
    connect(&socket_, &StreamSocket::writable, this, &ClientConnection::flush);
    // A table client may sit silent for hours while it watches; only a dead peer should go.
    socket_.keepAlive(timeouts.tcpIdleS, timeouts.tcpIntervalS, timeouts.tcpProbes);
    idleTimer_.setSingleShot(true);
    connect(&idleTimer_, &QTimer::timeout, this, &ClientConnection::checkIdle);
}

void ClientConnection::watchHallIdle() {
    lastHeard_.start();
    idleTimer_.start(hallIdleMs_);
}

void ClientConnection::checkIdle() {
    if (stage_ != Stage::In) return;
    // Frames only note the time; the timer is set again for what is left.
    const qint64 left = hallIdleMs_ - lastHeard_.elapsed();
    if (left > 0) return idleTimer_.start(static_cast<int>(left));
    emit logLine(QStringLiteral("hall connection %1 (%2): nothing heard for %3 ms: closed")
                     .arg(id_)
                     .arg(name_)
                     .arg(hallIdleMs_));
    closeNow(false);
}

void ClientConnection::drop(const QString& why) {
    if (stage_ == Stage::Closed) return;
    emit logLine(QStringLiteral("connection %1 dropped: %2").arg(id_).arg(why));
    closeNow(true);
}

std::uint32_t ClientConnection::frameLimit() const {
    switch (stage_) {
        case Stage::Hello:
            return xq::kMaxFirstFrameBytes;
        case Stage::Login:
            return xq::kLoginBytes;
        default:
            return static_cast<std::uint32_t>(RoomTable::kMaxChatBytes);  // the longest message
    }
}

void ClientConnection::onReadable() {
    // At most this much per notification: the others get their turn, the rest comes next time.
    constexpr int kRounds = 16;
    std::array<char, 4096> buffer;
    for (int round = 0; round < kRounds && stage_ != Stage::Closed; ++round) {
        const qint64 n = socket_.read(buffer.data(), static_cast<qint64>(buffer.size()));
        if (n == 0) return;
        if (n < 0) return closeNow(false);
        if (stage_ == Stage::Closing) continue;  // nothing more is taken from it
        const QByteArrayView bytes(buffer.data(), n);
        if (transport_ == Transport::Unknown && !chooseTransport(bytes.front())) return;
        bool peerClosed = false;
        if (transport_ == Transport::Tls) {
            if (!decrypt(bytes, peerClosed)) return;
        } else {
            frames_.append(bytes);
        }
        QByteArray frame;
        while (stage_ != Stage::Closing && stage_ != Stage::Closed) {
            const InboundFrames::Next next = frames_.next(frameLimit(), frame);
            if (next == InboundFrames::Next::More) break;
            if (next == InboundFrames::Next::Broken) {
                return fail(QStringLiteral("frame length out of bounds (at most %1 bytes here)")
                                .arg(frameLimit()));
            }
            handleFrame(frame);
        }
        if (peerClosed) return closeNow(false);  // as the end of a plain stream
    }
}

void ClientConnection::offerTls(std::shared_ptr<TlsContext> context, bool only) {
    tlsOffer_ = std::move(context);
    tlsOnly_ = only && tlsOffer_;
}

bool ClientConnection::chooseTransport(char first) {
    // A TLS connection opens with a handshake record; a plain one with a frame length, whose
    // first byte is 0 for any frame the protocol allows.
    constexpr char kHandshakeRecord = 0x16;
    if (tlsOffer_ && first == kHandshakeRecord) {
        transport_ = Transport::Tls;
        tls_ = std::make_unique<TlsSession>(tlsOffer_);
        return true;
    }
    if (tlsOnly_) {
        emit logLine(
            QStringLiteral("connection %1: plain connection refused (--tls-only)").arg(id_));
        closeNow(true);
        return false;
    }
    transport_ = Transport::Plain;
    return true;
}

bool ClientConnection::decrypt(QByteArrayView cipher, bool& peerClosed) {
    const bool wasEstablished = tls_->established();
    QByteArray plain;
    const TlsSession::Status status = tls_->receive(cipher, plain);
    if (status == TlsSession::Status::Failed) {
        failTls(tls_->error());
        return false;
    }
    if (!wasEstablished && tls_->established())
        emit logLine(QStringLiteral("connection %1 speaks TLS (%2)").arg(id_).arg(tls_->summary()));
    if (tls_->outgoingBytes() > 0) askForFlush();  // the handshake's answers
    frames_.append(plain);
    peerClosed = status == TlsSession::Status::PeerClosed;
    return true;
}

void ClientConnection::failTls(const QString& why) {
    emit logLine(QStringLiteral("TLS error on connection %1 (%2): %3")
                     .arg(id_)
                     .arg(name_.isEmpty() ? QStringLiteral("-") : name_, why));
    // The alert that tells the client why goes along if the kernel takes it now; nothing waits
    // for it.
    if (tls_ && tls_->outgoingBytes() > 0) {
        const QByteArrayView alert = tls_->outgoing();
        socket_.send(&alert, 1);
    }
    closeNow(false);
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
            if (const auto hello = parseHallHello(frame)) {
                name_ = hello->name;
                stage_ = Stage::In;
                watchHallIdle();
                emit hallLoggedIn(id_, name_, hello->ticket);
                return;
            }
            if (const auto hello = parseAccountHello(frame)) {
                name_ = hello->name;
                stage_ = Stage::In;
                watchHallIdle();
                emit accountHello(id_, name_, hello->password, hello->registering);
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
            lastHeard_.restart();
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
    closeNow(true);
}

void ClientConnection::closeNow(bool drop) {
    stage_ = Stage::Closed;
    if (drop) {
        socket_.abort();
    } else {
        socket_.close();
    }
    if (goneSent_) return;
    goneSent_ = true;
    emit gone(id_);
}

void ClientConnection::deliver(const Cmd&, const QByteArray& frame) {
    if (stage_ == Stage::Closed) return;
    if (!output_.push(frame)) {
        emit logLine(
            QStringLiteral("connection %1 (%2) reads too slowly: closed").arg(id_).arg(name_));
        return closeNow(true);
    }
    askForFlush();
}

void ClientConnection::finish() {
    if (stage_ == Stage::Closed || stage_ == Stage::Closing) return;
    stage_ = Stage::Closing;
    // What was sent goes out first; a client that does not take it, or does not close its end,
    // is not kept waiting for.
    QTimer::singleShot(kClosingDeadlineMs, this, [this] {
        if (stage_ == Stage::Closed) return;
        emit logLine(QStringLiteral("connection %1 (%2) not closed within %3 s: dropped")
                         .arg(id_)
                         .arg(name_)
                         .arg(kClosingDeadlineMs / 1000));
        closeNow(true);
    });
    askForFlush();
}

void ClientConnection::askForFlush() {
    if (flushAsked_) return;
    flushAsked_ = true;
    requestFlush_(this);
}

void ClientConnection::flush() {
    flushAsked_ = false;
    if (stage_ == Stage::Closed) return;
    if (tls_) {
        if (!flushSecure()) return;
    } else {
        std::array<QByteArrayView, OutputQueue::kMaxParts> parts;
        bool kernelFull = false;
        while (!output_.empty() && !kernelFull) {
            const int n = output_.gather(parts.data());
            qint64 offered = 0;
            for (int i = 0; i < n; ++i)
                offered += parts[static_cast<std::size_t>(i)].size();
            const qint64 sent = socket_.send(parts.data(), n);
            if (sent < 0) return closeNow(true);
            output_.consume(sent);
            kernelFull = sent < offered;
        }
    }
    // Writable is wanted only for bytes the kernel refused: over TLS the queue is turned into
    // records only when they can go, so only its records wait for the kernel.
    const bool waiting = tls_ ? tls_->outgoingBytes() > 0 : !output_.empty();
    socket_.watchWritable(waiting);
    if (stage_ == Stage::Closing && output_.empty() && !waiting && !endSent_) {
        // The client sees the end after the last message and closes; its close ends this.
        endSent_ = true;
        socket_.shutdownSending();
    }
}

bool ClientConnection::flushSecure() {
    // Plaintext becomes records only as fast as the kernel takes them: what waits stays in the
    // queue, under its cap, and the ciphertext held is at most this much.
    constexpr qint64 kCipherAhead = 64 * 1024;
    std::array<QByteArrayView, OutputQueue::kMaxParts> parts;
    std::array<char, 16 * 1024> record;  // the most one TLS record carries
    for (;;) {
        while (tls_->established() && !output_.empty() && tls_->outgoingBytes() < kCipherAhead) {
            const int n = output_.gather(parts.data());
            qsizetype filled = 0;
            const auto room = static_cast<qsizetype>(record.size());
            for (int i = 0; i < n && filled < room; ++i) {
                const QByteArrayView part = parts[static_cast<std::size_t>(i)];
                const qsizetype take = std::min(part.size(), room - filled);
                std::memcpy(record.data() + filled, part.data(), static_cast<std::size_t>(take));
                filled += take;
            }
            if (tls_->send(QByteArrayView(record.data(), filled)) != TlsSession::Status::Ok) {
                failTls(tls_->error());
                return false;
            }
            output_.consume(filled);
        }
        // The end of the TLS stream follows the last message, before the end of the TCP one.
        if (stage_ == Stage::Closing && output_.empty() && !closeNotifySent_) {
            closeNotifySent_ = true;
            tls_->close();
        }
        if (tls_->outgoingBytes() == 0) return true;
        const QByteArrayView cipher = tls_->outgoing();
        const qint64 sent = socket_.send(&cipher, 1);
        if (sent < 0) {
            closeNow(true);
            return false;
        }
        tls_->consumeOutgoing(sent);
        if (sent < cipher.size()) return true;  // the rest when the kernel has room
    }
}

}  // namespace xq::server

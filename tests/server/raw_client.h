#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QSslSocket>
#include <QTcpSocket>
#include <memory>

#include "net/cp936.h"
#include "net/frame.h"

namespace xq::server::test {

// Spins the event loop until the condition holds or the time is up.
template <typename F>
bool WaitFor(F condition, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

// A client that speaks frames and nothing else: whatever it is told to send goes out as is.
// Over TLS it takes any certificate; a test that cares checks the one it was shown.
class RawClient {
public:
    // `from`: the local address to connect from (127.x.y.z looks like another host to the server).
    explicit RawClient(quint16 port, bool tls = false, const QHostAddress& from = {}) : tls_(tls) {
        if (tls) {
            auto* s = new QSslSocket;
            s->setPeerVerifyMode(QSslSocket::VerifyNone);
            socket_.reset(s);
        } else {
            socket_ = std::make_unique<QTcpSocket>();
        }
        QObject::connect(socket_.get(), &QTcpSocket::readyRead, [this] { take(); });
        if (!from.isNull()) socket_->bind(from);
        if (tls) {
            ssl().connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
        } else {
            socket_->connectToHost(QStringLiteral("127.0.0.1"), port);
        }
        socket_->waitForConnected(5000);
    }

    // Connected, and over TLS encrypted. A server in this process answers the handshake in
    // the same event loop: waiting keeps it running.
    bool ready() {
        return WaitFor([&] { return tls_ ? ssl().isEncrypted() : connected(); });
    }
    QSslSocket& ssl() { return *static_cast<QSslSocket*>(socket_.get()); }
    QTcpSocket& socket() { return *socket_; }
    // What has arrived since, as whole frames (they are also kept in `received`).
    QList<QByteArray> take() {
        reader_.feed(socket_->readAll());
        QList<QByteArray> frames;
        while (reader_.hasFrame())
            frames.append(reader_.takeFrame());
        received.append(frames);
        return frames;
    }

    void sendRaw(const QByteArray& bytes) {
        socket_->write(bytes);
        socket_->flush();
    }
    void send(const QByteArray& message) { sendRaw(encodeFrame(message)); }
    // The hello (with the ticket, when one is given) and the login.
    void logIn(const QString& name, const QString& ticket = {}) {
        send(QByteArray(kHelloPrefix) +
             encodeCp936(ticket.isEmpty() ? name : name + u'`' + ticket));
        send(
            QByteArray("\x82\x00"
                       "500`DRAK`1",
                       12));
    }

    // Waits for a message that starts with these bytes; gives it, or an empty array.
    QByteArray waitForPrefix(const QByteArray& prefix, int ms = 5000) {
        QByteArray found;
        WaitFor(
            [&] {
                for (qsizetype i = seen_; i < received.size(); ++i) {
                    if (received[i].startsWith(prefix)) {
                        found = received[i];
                        seen_ = i + 1;
                        return true;
                    }
                }
                return false;
            },
            ms);
        return found;
    }
    bool waitForClose(int ms = 5000) {
        return WaitFor([&] { return socket_->state() == QAbstractSocket::UnconnectedState; }, ms);
    }
    bool connected() const { return socket_->state() == QAbstractSocket::ConnectedState; }

    QList<QByteArray> received;

private:
    bool tls_;
    std::unique_ptr<QTcpSocket> socket_;
    FrameReader reader_;
    qsizetype seen_ = 0;
};

}  // namespace xq::server::test

#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QTcpSocket>

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
class RawClient {
public:
    explicit RawClient(quint16 port) {
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
            reader_.feed(socket_.readAll());
            while (reader_.hasFrame())
                received.append(reader_.takeFrame());
        });
        socket_.connectToHost(QStringLiteral("127.0.0.1"), port);
        socket_.waitForConnected(5000);
    }

    void sendRaw(const QByteArray& bytes) {
        socket_.write(bytes);
        socket_.flush();
    }
    void send(const QByteArray& message) { sendRaw(encodeFrame(message)); }
    void logIn(const QString& name) {
        send(QByteArray(kHelloPrefix) + encodeCp936(name));
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
        return WaitFor([&] { return socket_.state() == QAbstractSocket::UnconnectedState; }, ms);
    }
    bool connected() const { return socket_.state() == QAbstractSocket::ConnectedState; }

    QList<QByteArray> received;

private:
    QTcpSocket socket_;
    FrameReader reader_;
    qsizetype seen_ = 0;
};

}  // namespace xq::server::test

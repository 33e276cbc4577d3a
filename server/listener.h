#pragma once

#include <QTcpServer>

namespace xq::server {

// Accepts connections and hands over their bare descriptors: the server does its own reading and
// writing on them (StreamSocket) instead of through a buffered QTcpSocket. At most a batch is
// accepted per event-loop turn: a crowd that connects as fast as it can would otherwise keep
// the loop accepting and closing, and the tables' players would wait for it.
class Listener : public QTcpServer {
    Q_OBJECT
public:
    using QTcpServer::QTcpServer;
    static constexpr int kAcceptsPerTurn = 64;

signals:
    void accepted(qintptr descriptor);

protected:
    void incomingConnection(qintptr descriptor) override {
        emit accepted(descriptor);
        if (++acceptedThisTurn_ < kAcceptsPerTurn) return;
        // QTcpServer stops its accept loop when its pending connections reach the maximum, and
        // stops watching the socket; the rest wait in the kernel's backlog for the next turn.
        setMaxPendingConnections(0);
        QMetaObject::invokeMethod(
            this,
            [this] {
                acceptedThisTurn_ = 0;
                setMaxPendingConnections(kDefaultMaxPending);
                resumeAccepting();
            },
            Qt::QueuedConnection);
    }

private:
    static constexpr int kDefaultMaxPending = 30;
    int acceptedThisTurn_ = 0;
};

}  // namespace xq::server

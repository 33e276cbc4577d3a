#pragma once

#include <QTcpServer>

namespace xq::server {

// Accepts connections and hands over their bare descriptors: the server does its own reading and
// writing on them (StreamSocket) instead of through a buffered QTcpSocket.
class Listener : public QTcpServer {
    Q_OBJECT
public:
    using QTcpServer::QTcpServer;

signals:
    void accepted(qintptr descriptor);

protected:
    void incomingConnection(qintptr descriptor) override { emit accepted(descriptor); }
};

}  // namespace xq::server

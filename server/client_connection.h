#pragma once

#include <QObject>
#include <QTcpSocket>

#include "net/frame.h"
#include "server/endpoint.h"
#include "server/output_queue.h"
#include "server/table_output.h"

namespace xq::server {

// One client socket: reads frames, checks the hello and the login, and writes the table's
// messages through its own output queue. It reports what happens through signals; `gone` is
// emitted once, when the socket is closed for whatever reason.
class ClientConnection : public QObject, public Endpoint {
    Q_OBJECT
public:
    ClientConnection(ConnId id, QTcpSocket* socket, QObject* parent = nullptr);

    // How long a new connection has for its hello and login.
    static constexpr int kLoginWindowMs = 15000;

    ConnId id() const { return id_; }
    void deliver(const Cmd& message, const QByteArray& frame) override;
    void finish() override;

signals:
    void loggedIn(xq::server::ConnId id, const QString& name, bool allowWatch,
                  const QString& ticket);
    void messageArrived(xq::server::ConnId id, const QByteArray& message);
    void gone(xq::server::ConnId id);
    void logLine(const QString& line);

private:
    enum class Stage { Hello, Login, In, Closing, Closed };

    void onReadyRead();
    void onBytesWritten();
    void onDisconnected();
    void handleFrame(const QByteArray& frame);
    void fail(const QString& why);
    void pump();

    ConnId id_;
    QTcpSocket* socket_;
    FrameReader reader_;
    OutputQueue output_;
    Stage stage_ = Stage::Hello;
    QString name_;
    QString ticket_;
    bool goneSent_ = false;
};

}  // namespace xq::server

#pragma once

#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include "net/frame.h"
#include "net/hall_messages.h"

namespace xq::hall {

// One connection to the hall server: it opens with the hall hello, frames what is sent and
// hands on every whole message the codec can read; malformed ones are dropped. A frame outside
// the framing limits ends the connection. Used for one connection only: a new login takes a new
// object.
class HallConnection : public QObject {
    Q_OBJECT

public:
    explicit HallConnection(QObject* parent = nullptr);
    ~HallConnection() override;

    // Connects and sends the hello once connected. The connection fails when it is not made
    // within timeoutMs.
    void open(const QString& host, quint16 port, const QByteArray& hello, int timeoutMs);
    // Sends one message; dropped when not connected.
    void send(const QByteArray& message);
    // Says goodbye and closes after what is queued has been written.
    void leave();
    // Drops the connection at once; nothing more is reported.
    void abort();
    bool isConnected() const;

signals:
    void opened();  // connected, and the hello is on its way
    void received(const xq::hall::in::ServerMessage& message);
    void failed();  // the connection could not be made
    void closed();  // the connection, once made, ended

private:
    void onConnected();
    void onReadyRead();
    void finish();

    QTcpSocket socket_;
    QTimer connectTimer_;
    FrameReader reader_;
    QByteArray hello_;
    bool connected_ = false;
    bool ended_ = false;
};

}  // namespace xq::hall

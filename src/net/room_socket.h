#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>
#include <deque>

#include "net/frame.h"

namespace xq {

// The client's one connection to the room server: connects, opens with the hello, sends whole
// messages and delivers whole messages. Received messages are handed out one per event-loop turn,
// in order, never from inside the socket's read handler, so that a message arriving while a modal
// box or an animation waits is handled inside that wait.
class RoomSocket : public QObject {
    Q_OBJECT

public:
    explicit RoomSocket(QObject* parent = nullptr);
    ~RoomSocket() override;

    // The name the hello carries.
    void setUserName(const QString& name) { userName_ = name; }

    // Starts connecting. timeoutSeconds bounds the wait for the connection; a port outside
    // 1..65535 fails at once (reported from the event loop, like every other failure).
    void connectTo(const QString& host, long port, long timeoutSeconds);

    // Sends one message; an empty message or a send while not connected is dropped.
    void send(const QByteArray& message);

    void close();
    bool isConnected() const;

signals:
    void connected();
    void dataArrived(const QByteArray& message);
    void closed();  // the connection, once made, ended (by either side or a protocol error)
    void failed();  // the connection could not be made

private:
    void onConnected();
    void onReadyRead();
    void onDisconnected();
    void onError();
    void scheduleDelivery();
    void deliverOne();
    void finish(bool failedToConnect);

    QTcpSocket socket_;
    QTimer connectTimer_;
    FrameReader reader_;
    std::deque<QByteArray> inbox_;
    QString userName_;
    bool everConnected_ = false;
    bool deliveryPending_ = false;
    bool ending_ = false;  // the socket is gone; the end is reported once the inbox is empty
    bool endFailed_ = false;
    bool endReported_ = false;
};

}  // namespace xq

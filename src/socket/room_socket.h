#pragma once

#include <QByteArray>
#include <QObject>
#include <QSslSocket>
#include <QString>
#include <QTimer>
#include "net/frame.h"
#include "net/wire_limits.h"
#include "socket/message_inbox.h"
#include "socket/tls_gate.h"

namespace xq {

// A login ticket: 1 to 64 printable ASCII characters without "`"; "-" stands for none.
bool isTicket(const QString& ticket);
// The first frame: the protocol's name, the user's name, and the ticket when there is one.
QByteArray helloText(const QString& name, const QString& ticket);

// The client's one connection to the room server: connects, opens with the hello, sends whole
// messages and delivers whole messages through its inbox: one per event-loop turn, in order, held
// while the table applies a move (see MessageInbox).
class RoomSocket : public QObject {
    Q_OBJECT

public:
    explicit RoomSocket(QObject* parent = nullptr);
    ~RoomSocket() override;

    // The name the hello carries.
    void setUserName(const QString& name) { userName_ = name; }
    // The login ticket the hall gave this user: it follows the name in the hello, so that no one
    // else can take the name's seat. None ("" or "-") for a hall without tickets.
    void setTicket(const QString& ticket) { ticket_ = ticket; }

    // Plain unless told; the hall that started the table says how it trusted the server.
    void setTlsPolicy(const TlsPolicy& policy) { tlsPolicy_ = policy; }
    // Why the connection could not be made, when the encryption was the reason (the server's
    // certificate, say); empty otherwise.
    QString failureReason() const { return gate_.problem(); }

    // Starts connecting. timeoutSeconds bounds the wait for the connection; a port outside
    // 1..65535 fails at once (reported from the event loop, like every other failure).
    void connectTo(const QString& host, long port, long timeoutSeconds);

    // Sends one message; an empty message or a send while not connected is dropped.
    void send(const QByteArray& message);

    void close();
    // Sends what is still queued, then closes the connection in order, waiting at most the given
    // time: a last message sent just before the program ends must reach the server.
    void closeAfterSending(int waitMs);
    bool isConnected() const;

    // While held, received messages wait; they follow in order once released.
    void holdMessages() { inbox_.hold(); }
    void releaseMessages() { inbox_.release(); }
    const MessageInbox& inbox() const { return inbox_; }

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
    void finish(bool failedToConnect);

    QSslSocket socket_;
    TlsGate gate_{socket_};
    TlsPolicy tlsPolicy_;
    QTimer connectTimer_;
    FrameReader reader_;
    MessageInbox inbox_;
    QString userName_;
    QString ticket_;
    bool everConnected_ = false;
    bool ending_ = false;  // the socket is gone; the end is reported once the inbox is empty
};

}  // namespace xq

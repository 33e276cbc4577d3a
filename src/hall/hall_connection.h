#pragma once

#include <QObject>
#include <QSslSocket>
#include <QTimer>

#include "net/frame.h"
#include "net/hall_messages.h"
#include "socket/tls_gate.h"

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

    // The server closes a hall connection it has heard nothing from for a minute; a user who only
    // watches the lists says nothing, so the connection says "still here" this often.
    static constexpr int kKeepAliveMs = 20000;
    void setKeepAliveInterval(int ms) { keepAliveTimer_.setInterval(ms); }

    // Connects, plain or encrypted as the policy says, and sends the hello once connected. The
    // connection fails when it is not made (handshake included) within timeoutMs.
    void open(const QString& host, quint16 port, const QByteArray& hello, int timeoutMs,
              const TlsPolicy& policy = {});
    // Sends one message; dropped when not connected.
    void send(const QByteArray& message);
    // Says goodbye and closes after what is queued has been written.
    void leave();
    // Drops the connection at once; nothing more is reported.
    void abort();
    bool isConnected() const;
    // What became of the server's certificate, on an encrypted connection.
    const TlsJudgement& tls() const { return gate_.judgement(); }

signals:
    void opened();  // connected, and the hello is on its way
    void received(const xq::hall::in::ServerMessage& message);
    // The connection could not be made; the reason is for the user when it is known (the
    // server's certificate, say), else empty.
    void failed(const QString& reason);
    void closed();  // the connection, once made, ended

private:
    void onConnected();
    void onReadyRead();
    void finish();

    QSslSocket socket_;
    TlsGate gate_{socket_};
    QTimer connectTimer_;
    QTimer keepAliveTimer_;
    FrameReader reader_;
    QByteArray hello_;
    bool connected_ = false;
    bool ended_ = false;
};

}  // namespace xq::hall

#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

#include "server/endpoint.h"
#include "server/inbound_frames.h"
#include "server/output_queue.h"
#include "server/stream_socket.h"
#include "server/table_output.h"
#include "server/tls_session.h"

namespace xq::server {

// How long a connection may say nothing, stage by stage.
struct ConnectionTimeouts {
    // From the connection to its hello and login, a TLS handshake included.
    int loginWindowMs = 15000;
    // A hall connection after its hello: its client sends a keep-alive well within this.
    int hallIdleMs = 60000;
    // The table protocol has no keep-alive of its own: the system probes an idle peer after
    // this many seconds, then every interval, and gives it up after that many probes unanswered.
    int tcpIdleS = 60;
    int tcpIntervalS = 10;
    int tcpProbes = 4;
};

// One client socket: reads frames, checks the hello and the login, and writes the table's
// messages through its own output queue. Output waits for flush(), which the server calls once
// per event-loop turn for every connection that asked for it. It reports what happens through
// signals; `gone` is emitted once, when the socket is closed for whatever reason. With TLS
// offered, a connection that opens with a handshake record speaks TLS for its whole life and the
// frames travel inside it; the others speak plain frames.
class ClientConnection : public QObject, public Endpoint {
    Q_OBJECT
public:
    using FlushRequest = std::function<void(ClientConnection*)>;

    ClientConnection(ConnId id, qintptr descriptor, ReadyWatch& watch, FlushRequest requestFlush,
                     const ConnectionTimeouts& timeouts = {}, QObject* parent = nullptr);

    // How long a connection the server ends has to take its last output and close.
    static constexpr int kClosingDeadlineMs = 5000;

    // Lets this connection speak TLS with `context` if its first byte opens a handshake;
    // `only`: a connection that does not is closed. Call before the event loop runs again.
    void offerTls(std::shared_ptr<TlsContext> context, bool only);
    // Whether the connection speaks TLS (its handshake done).
    bool isSecure() const { return tls_ && tls_->established(); }

    ConnId id() const { return id_; }
    QHostAddress peerAddress() const { return socket_.peerAddress(); }
    quint16 peerPort() const { return socket_.peerPort(); }
    void deliver(const Cmd& message, const QByteArray& frame) override;
    void finish() override;
    // Closes at once, nothing more sent, and logs why.
    void drop(const QString& why);
    // Hands the queued output to the kernel, as much as it takes now.
    void flush();
    // Ended by finish(), and everything sent has reached the peer (or the socket is closed):
    // a server that stops may go without cutting its last words short.
    bool delivered() const {
        return stage_ == Stage::Closed ||
               (stage_ == Stage::Closing && endSent_ && socket_.unacknowledgedBytes() == 0);
    }

signals:
    void loggedIn(xq::server::ConnId id, const QString& name, bool allowWatch,
                  const QString& ticket);
    // A hall client's hello: it has no second login frame.
    void hallLoggedIn(xq::server::ConnId id, const QString& name, const QString& ticket);
    // An account's hall hello, with the password to check.
    void accountHello(xq::server::ConnId id, const QString& name, const QString& password,
                      bool registering);
    void messageArrived(xq::server::ConnId id, const QByteArray& message);
    void gone(xq::server::ConnId id);
    void logLine(const QString& line);

private:
    enum class Stage { Hello, Login, In, Closing, Closed };

    // The longest frame the client may send now.
    std::uint32_t frameLimit() const;
    void onReadable();
    void handleFrame(const QByteArray& frame);
    void fail(const QString& why);
    // Closes the socket now; `drop` resets it, throwing away what the kernel still holds.
    void closeNow(bool drop);
    void askForFlush();
    // The first byte tells plain frames from TLS; false when the connection is refused.
    bool chooseTransport(char first);
    // Ciphertext that arrived, its plaintext into frames_; false when the connection is gone.
    bool decrypt(QByteArrayView cipher, bool& peerClosed);
    // The queue's plaintext as records, as fast as the kernel takes them; false when closed.
    bool flushSecure();
    void failTls(const QString& why);
    // A hall connection that has been silent too long goes.
    void watchHallIdle();
    void checkIdle();

    ConnId id_;
    StreamSocket socket_;
    InboundFrames frames_;
    OutputQueue output_;
    FlushRequest requestFlush_;
    Stage stage_ = Stage::Hello;
    QString name_;
    QString ticket_;
    bool flushAsked_ = false;
    bool endSent_ = false;
    bool goneSent_ = false;
    enum class Transport { Unknown, Plain, Tls };
    Transport transport_ = Transport::Unknown;
    std::shared_ptr<TlsContext> tlsOffer_;
    bool tlsOnly_ = false;
    std::unique_ptr<TlsSession> tls_;
    bool closeNotifySent_ = false;
    int hallIdleMs_;
    QTimer idleTimer_;
    QElapsedTimer lastHeard_;
};

}  // namespace xq::server

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>

struct ssl_st;
struct bio_st;

namespace xq::server {

class TlsContext;

// The server's end of one TLS connection, kept apart from the socket: ciphertext that arrived
// goes in and comes out as plaintext, plaintext to send comes out as ciphertext waiting to be
// sent. The connection moves the bytes on its own non-blocking socket, so TLS needs no thread
// and no socket of its own, and a slow reader is held to the same rules as a plain one.
class TlsSession {
public:
    enum class Status { Ok, PeerClosed, Failed };

    explicit TlsSession(std::shared_ptr<TlsContext> context);
    ~TlsSession();
    TlsSession(const TlsSession&) = delete;
    TlsSession& operator=(const TlsSession&) = delete;

    // Takes ciphertext from the peer; what it carried (none during the handshake) is appended to
    // `plain`. PeerClosed: the peer ended its stream properly (what came before is in `plain`).
    Status receive(QByteArrayView cipher, QByteArray& plain);
    // Turns plaintext into records, which wait in outgoing().
    Status send(QByteArrayView plain);
    // Puts the alert that ends this side's stream after what was sent.
    void close();

    bool established() const;
    // The protocol version and cipher, for the log.
    QString summary() const;
    // Why the last call failed.
    QString error() const { return error_; }

    // Ciphertext to send, in order: handshake records, data, alerts.
    QByteArrayView outgoing() const { return QByteArrayView(out_).sliced(outPos_); }
    qint64 outgoingBytes() const { return out_.size() - outPos_; }
    // The first `bytes` of outgoing() are gone to the kernel.
    void consumeOutgoing(qint64 bytes);

private:
    // Moves what OpenSSL has written into out_.
    void collect();
    Status failed();

    std::shared_ptr<TlsContext> context_;  // the session uses it as long as it lives
    ssl_st* ssl_ = nullptr;
    bio_st* in_ = nullptr;    // owned by ssl_: what the peer sent
    bio_st* wire_ = nullptr;  // owned by ssl_: what OpenSSL writes for the peer
    QByteArray out_;
    qsizetype outPos_ = 0;
    QString error_;
};

}  // namespace xq::server

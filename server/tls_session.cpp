#include "server/tls_session.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <algorithm>
#include <array>

#include "server/tls_context.h"

namespace xq::server {

TlsSession::TlsSession(std::shared_ptr<TlsContext> context) : context_(std::move(context)) {
    ERR_clear_error();
    ssl_ = context_ ? SSL_new(context_->native()) : nullptr;
    if (!ssl_) return;
    in_ = BIO_new(BIO_s_mem());
    wire_ = BIO_new(BIO_s_mem());
    if (!in_ || !wire_) {
        BIO_free(in_);
        BIO_free(wire_);
        in_ = wire_ = nullptr;
        SSL_free(ssl_);
        ssl_ = nullptr;
        return;
    }
    SSL_set_bio(ssl_, in_, wire_);
    SSL_set_accept_state(ssl_);
}

TlsSession::~TlsSession() {
    SSL_free(ssl_);  // and both memory BIOs
}

TlsSession::Status TlsSession::failed() {
    error_ = takeTlsErrors();
    collect();  // the alert that tells the peer why, if OpenSSL wrote one
    return Status::Failed;
}

TlsSession::Status TlsSession::receive(QByteArrayView cipher, QByteArray& plain) {
    if (!ssl_) {
        error_ = QStringLiteral("cannot set up TLS for this connection");
        return Status::Failed;
    }
    ERR_clear_error();
    if (!cipher.isEmpty() && BIO_write(in_, cipher.data(), static_cast<int>(cipher.size())) !=
                                 static_cast<int>(cipher.size()))
        return failed();
    std::array<char, 16 * 1024> buffer;
    for (;;) {
        std::size_t got = 0;
        if (SSL_read_ex(ssl_, buffer.data(), buffer.size(), &got) == 1) {
            plain.append(buffer.data(), static_cast<qsizetype>(got));
            continue;
        }
        const int why = SSL_get_error(ssl_, 0);
        if (why == SSL_ERROR_WANT_READ) {
            collect();  // what the handshake answers
            return Status::Ok;
        }
        if (why == SSL_ERROR_ZERO_RETURN) {
            collect();
            return Status::PeerClosed;
        }
        return failed();
    }
}

TlsSession::Status TlsSession::send(QByteArrayView plain) {
    if (!ssl_ || !established()) {
        error_ = QStringLiteral("data to send before the handshake is done");
        return Status::Failed;
    }
    ERR_clear_error();
    // A memory BIO takes everything, so each call writes all it was given.
    std::size_t written = 0;
    if (!plain.isEmpty() &&
        SSL_write_ex(ssl_, plain.data(), static_cast<std::size_t>(plain.size()), &written) != 1)
        return failed();
    collect();
    return Status::Ok;
}

void TlsSession::close() {
    if (!ssl_ || !established()) return;
    ERR_clear_error();
    SSL_shutdown(ssl_);  // 0: the peer's answer is not awaited
    ERR_clear_error();
    collect();
}

bool TlsSession::established() const {
    return ssl_ && SSL_is_init_finished(ssl_);
}

QString TlsSession::summary() const {
    if (!established()) return QStringLiteral("handshake not done");
    return QStringLiteral("%1, %2").arg(QLatin1String(SSL_get_version(ssl_)),
                                        QLatin1String(SSL_get_cipher_name(ssl_)));
}

void TlsSession::collect() {
    if (!wire_) return;
    while (const std::size_t pending = BIO_ctrl_pending(wire_)) {
        if (outPos_ == out_.size()) {
            out_.clear();
            outPos_ = 0;
        }
        const qsizetype at = out_.size();
        out_.resize(at + static_cast<qsizetype>(pending));
        const int got = BIO_read(wire_, out_.data() + at, static_cast<int>(pending));
        out_.resize(at + std::max(got, 0));
        if (got <= 0) return;
    }
}

void TlsSession::consumeOutgoing(qint64 bytes) {
    outPos_ += static_cast<qsizetype>(std::clamp<qint64>(bytes, 0, outgoingBytes()));
    if (outPos_ == out_.size()) {
        out_ = QByteArray();  // an idle connection keeps nothing
        outPos_ = 0;
    } else if (outPos_ >= 64 * 1024) {
        out_.remove(0, outPos_);
        outPos_ = 0;
    }
}

}  // namespace xq::server

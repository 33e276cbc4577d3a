#pragma once

#include <QString>
#include <memory>

struct ssl_ctx_st;

namespace xq::server {

// The server's side of TLS: its certificate and key, made into one OpenSSL context when the
// server starts and shared by every connection that speaks TLS.
class TlsContext {
public:
    // Reads the PEM files (the certificate may be followed by its chain). Nothing, with the reason
    // in `error`, when a file cannot be read or parsed or the key is not the certificate's.
    static std::shared_ptr<TlsContext> load(const QString& certificateFile, const QString& keyFile,
                                            QString* error);
    ~TlsContext();
    TlsContext(const TlsContext&) = delete;
    TlsContext& operator=(const TlsContext&) = delete;

    // The certificate's SHA-256 digest as hex pairs joined by ':' (upper case), as
    // `openssl x509 -fingerprint -sha256` prints it, for members to compare with what they see.
    QString fingerprint() const { return fingerprint_; }
    ssl_ctx_st* native() const { return context_; }

private:
    explicit TlsContext(ssl_ctx_st* context) : context_(context) {}

    ssl_ctx_st* context_;
    QString fingerprint_;
};

// What OpenSSL has queued as errors on this thread, as one line (and the queue emptied).
QString takeTlsErrors();

}  // namespace xq::server

#include "server/tls_context.h"

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <QFile>

namespace xq::server {
namespace {

struct BioFree {
    void operator()(BIO* b) const { BIO_free(b); }
};
struct X509Free {
    void operator()(X509* x) const { X509_free(x); }
};
struct KeyFree {
    void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};
struct ContextFree {
    void operator()(SSL_CTX* c) const { SSL_CTX_free(c); }
};

// The file's bytes, or the reason it has none to give.
bool readFile(const QString& path, const char* what, QByteArray& into, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the %1 file %2: %3")
                     .arg(QLatin1String(what), path, file.errorString());
        return false;
    }
    into = file.readAll();
    if (into.isEmpty()) {
        *error = QStringLiteral("the %1 file %2 is empty").arg(QLatin1String(what), path);
        return false;
    }
    return true;
}

std::unique_ptr<BIO, BioFree> memoryOf(const QByteArray& bytes) {
    return std::unique_ptr<BIO, BioFree>(BIO_new_mem_buf(bytes.constData(), int(bytes.size())));
}

QString sha256Fingerprint(X509* certificate) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (X509_digest(certificate, EVP_sha256(), digest, &length) != 1) return {};
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(digest), int(length)).toHex(':').toUpper());
}

}  // namespace

QString takeTlsErrors() {
    QStringList reasons;
    char text[256];
    while (const unsigned long code = ERR_get_error()) {
        ERR_error_string_n(code, text, sizeof text);
        reasons << QString::fromLatin1(text);
    }
    return reasons.isEmpty() ? QStringLiteral("unknown TLS error")
                             : reasons.join(QStringLiteral("; "));
}

std::shared_ptr<TlsContext> TlsContext::load(const QString& certificateFile, const QString& keyFile,
                                             QString* error) {
    QString ignored;
    if (!error) error = &ignored;
    QByteArray certificatePem, keyPem;
    if (!readFile(certificateFile, "certificate", certificatePem, error) ||
        !readFile(keyFile, "key", keyPem, error))
        return nullptr;
    ERR_clear_error();

    std::unique_ptr<SSL_CTX, ContextFree> context(SSL_CTX_new(TLS_server_method()));
    if (!context) {
        *error = QStringLiteral("cannot set up TLS: %1").arg(takeTlsErrors());
        return nullptr;
    }
    SSL_CTX_set_min_proto_version(context.get(), TLS1_2_VERSION);
    // Renegotiation only lets a client make the server work; idle connections give their
    // buffers back, as a thousand watchers are mostly idle.
    SSL_CTX_set_options(context.get(), SSL_OP_NO_RENEGOTIATION);
    SSL_CTX_set_mode(context.get(), SSL_MODE_RELEASE_BUFFERS);

    const auto certificateBio = memoryOf(certificatePem);
    std::unique_ptr<X509, X509Free> certificate(
        PEM_read_bio_X509(certificateBio.get(), nullptr, nullptr, nullptr));
    if (!certificate) {
        *error = QStringLiteral("the certificate file %1 holds no PEM certificate: %2")
                     .arg(certificateFile, takeTlsErrors());
        return nullptr;
    }
    if (SSL_CTX_use_certificate(context.get(), certificate.get()) != 1) {
        *error = QStringLiteral("cannot use the certificate in %1: %2")
                     .arg(certificateFile, takeTlsErrors());
        return nullptr;
    }
    // What follows the server's own certificate is its chain, sent along with it.
    while (X509* link = PEM_read_bio_X509(certificateBio.get(), nullptr, nullptr, nullptr)) {
        if (SSL_CTX_add0_chain_cert(context.get(), link) != 1) {
            X509_free(link);
            *error = QStringLiteral("cannot use the chain in %1: %2")
                         .arg(certificateFile, takeTlsErrors());
            return nullptr;
        }
    }
    ERR_clear_error();  // the end of the file reads as an error

    std::unique_ptr<EVP_PKEY, KeyFree> key;
    {
        const auto keyBio = memoryOf(keyPem);
        key.reset(PEM_read_bio_PrivateKey(keyBio.get(), nullptr, nullptr, nullptr));
    }
    OPENSSL_cleanse(keyPem.data(), static_cast<std::size_t>(keyPem.size()));  // a secret
    if (!key) {
        *error = QStringLiteral("the key file %1 holds no PEM private key without a passphrase: %2")
                     .arg(keyFile, takeTlsErrors());
        return nullptr;
    }
    if (SSL_CTX_use_PrivateKey(context.get(), key.get()) != 1 ||
        SSL_CTX_check_private_key(context.get()) != 1) {
        *error = QStringLiteral("the key in %1 does not belong to the certificate in %2: %3")
                     .arg(keyFile, certificateFile, takeTlsErrors());
        return nullptr;
    }

    std::shared_ptr<TlsContext> made(new TlsContext(context.release()));
    made->fingerprint_ = sha256Fingerprint(certificate.get());
    return made;
}

TlsContext::~TlsContext() {
    SSL_CTX_free(context_);
}

}  // namespace xq::server

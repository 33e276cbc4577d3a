#include "self_signed.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <QFile>
#include <memory>

namespace xq::server::test {
namespace {

template <typename T, void (*Free)(T*)>
struct Deleter {
    void operator()(T* p) const { Free(p); }
};
using Key = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY, EVP_PKEY_free>>;
using Certificate = std::unique_ptr<X509, Deleter<X509, X509_free>>;
using Bio = std::unique_ptr<BIO, Deleter<BIO, BIO_free_all>>;

QByteArray contents(BIO* bio) {
    char* data = nullptr;
    const long n = BIO_get_mem_data(bio, &data);
    return QByteArray(data, static_cast<qsizetype>(n));
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

SelfSigned makeSelfSigned(const QString& dir, const QString& stem) {
    Key key(EVP_EC_gen("P-256"));
    Certificate certificate(X509_new());
    if (!key || !certificate) return {};
    X509* x = certificate.get();
    X509_set_version(x, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(x), 1);
    X509_gmtime_adj(X509_getm_notBefore(x), -60);
    X509_gmtime_adj(X509_getm_notAfter(x), 24 * 3600);
    X509_set_pubkey(x, key.get());
    X509_NAME* name = X509_get_subject_name(x);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("xqtable test room"), -1, -1,
                               0);
    X509_set_issuer_name(x, name);
    X509V3_CTX v3;
    X509V3_set_ctx_nodb(&v3);
    X509V3_set_ctx(&v3, x, x, nullptr, nullptr, 0);
    if (X509_EXTENSION* san =
            X509V3_EXT_conf_nid(nullptr, &v3, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost")) {
        X509_add_ext(x, san, -1);
        X509_EXTENSION_free(san);
    }
    if (X509_sign(x, key.get(), EVP_sha256()) == 0) return {};

    Bio certificatePem(BIO_new(BIO_s_mem())), keyPem(BIO_new(BIO_s_mem()));
    if (!certificatePem || !keyPem || PEM_write_bio_X509(certificatePem.get(), x) != 1 ||
        PEM_write_bio_PrivateKey(keyPem.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) !=
            1)
        return {};
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    X509_digest(x, EVP_sha256(), digest, &length);

    SelfSigned made{dir + u'/' + stem + QStringLiteral("-cert.pem"),
                    dir + u'/' + stem + QStringLiteral("-key.pem"),
                    QByteArray(reinterpret_cast<const char*>(digest), static_cast<int>(length))};
    if (!writeFile(made.certificateFile, contents(certificatePem.get())) ||
        !writeFile(made.keyFile, contents(keyPem.get())))
        return {};
    return made;
}

QByteArray clientHello(int maxVersion) {
    std::unique_ptr<SSL_CTX, Deleter<SSL_CTX, SSL_CTX_free>> context(
        SSL_CTX_new(TLS_client_method()));
    if (!context) return {};
    // Old versions are off by default at the usual security level; a test of refusing them needs
    // a client that still offers them.
    SSL_CTX_set_security_level(context.get(), 0);
    SSL_CTX_set_min_proto_version(context.get(), TLS1_VERSION);
    SSL_CTX_set_max_proto_version(context.get(), maxVersion);
    std::unique_ptr<SSL, Deleter<SSL, SSL_free>> ssl(SSL_new(context.get()));
    if (!ssl) return {};
    BIO* in = BIO_new(BIO_s_mem());
    BIO* out = BIO_new(BIO_s_mem());
    SSL_set_bio(ssl.get(), in, out);  // the session owns both now
    SSL_connect(ssl.get());           // wants the server's answer: the hello is all it writes
    return contents(out);
}

}  // namespace xq::server::test

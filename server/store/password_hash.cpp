#include "server/store/password_hash.h"

#include <sodium.h>

namespace xq::server {
namespace {

bool sodiumReady() {
    // sodium_init is safe to call again and from several threads; -1 means it cannot run.
    static const bool ready = sodium_init() >= 0;
    return ready;
}

}  // namespace

QString passwordProblem(const QString& password) {
    if (password.isEmpty()) return QStringLiteral("a password cannot be empty");
    if (password.toUtf8().size() > kMaxPasswordBytes) {
        return QStringLiteral("a password has at most %1 bytes").arg(kMaxPasswordBytes);
    }
    if (password.contains(QChar(0))) return QStringLiteral("a password cannot contain NUL");
    return {};
}

std::optional<QByteArray> hashPassword(const QString& password) {
    if (!sodiumReady()) return std::nullopt;
    QByteArray secret = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    const int made =
        crypto_pwhash_str(out, secret.constData(), static_cast<unsigned long long>(secret.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE);
    sodium_memzero(secret.data(), static_cast<std::size_t>(secret.size()));
    if (made != 0) return std::nullopt;
    return QByteArray(out);
}

bool passwordMatches(const QByteArray& hash, const QString& password) {
    if (hash.isEmpty() || hash.size() >= crypto_pwhash_STRBYTES || !sodiumReady()) return false;
    // The verifier wants a NUL-terminated string of its own buffer size.
    char stored[crypto_pwhash_STRBYTES] = {};
    std::copy(hash.cbegin(), hash.cend(), stored);
    QByteArray secret = password.toUtf8();
    const bool same = crypto_pwhash_str_verify(stored, secret.constData(),
                                               static_cast<unsigned long long>(secret.size())) == 0;
    sodium_memzero(secret.data(), static_cast<std::size_t>(secret.size()));
    return same;
}

}  // namespace xq::server

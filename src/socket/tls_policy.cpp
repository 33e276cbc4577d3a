#include "socket/tls_policy.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace xq {
namespace {

const QString kPinPrefix = QStringLiteral("pin:");

bool isFingerprint(const QString& text) {
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
    return hex.match(text).hasMatch();
}

// The faults a self-signed certificate has and nothing else: no authority signed it, and it may
// name another host than the one asked for.
bool onlySelfSigned(const QSslCertificate& certificate, const QList<QSslError>& errors) {
    return !errors.isEmpty() &&
           std::all_of(errors.cbegin(), errors.cend(), [&](const QSslError& e) {
               const bool kind = e.error() == QSslError::SelfSignedCertificate ||
                                 e.error() == QSslError::SelfSignedCertificateInChain ||
                                 e.error() == QSslError::HostNameMismatch;
               return kind && (e.certificate().isNull() || e.certificate() == certificate);
           });
}

QString faultsText(const QList<QSslError>& errors) {
    QStringList texts;
    for (const QSslError& e : errors)
        texts << e.errorString();
    texts.removeDuplicates();
    return texts.join(QStringLiteral("；"));
}

}  // namespace

QString tlsPolicyText(const TlsPolicy& policy) {
    switch (policy.mode) {
        case TlsPolicy::Mode::Plain:
            return {};
        case TlsPolicy::Mode::Pin:
            if (isFingerprint(policy.pin)) return kPinPrefix + policy.pin;
            break;
        case TlsPolicy::Mode::Verify:
        case TlsPolicy::Mode::FirstUse:
            break;
    }
    return QStringLiteral("verify");
}

TlsPolicy tlsPolicyFromText(const QString& text) {
    if (text.isEmpty()) return {};
    if (text.startsWith(kPinPrefix)) {
        const QString pin = text.mid(kPinPrefix.size()).toLower();
        if (isFingerprint(pin)) return {TlsPolicy::Mode::Pin, pin};
    }
    return {TlsPolicy::Mode::Verify, {}};
}

QString certificateFingerprint(const QSslCertificate& certificate) {
    if (certificate.isNull()) return {};
    return QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex());
}

QString readableFingerprint(const QString& fingerprint) {
    QStringList bytes;
    for (qsizetype i = 0; i + 1 < fingerprint.size(); i += 2)
        bytes << fingerprint.mid(i, 2).toUpper();
    return bytes.join(u':');
}

TlsJudgement judgeCertificate(const TlsPolicy& policy, const QSslCertificate& certificate,
                              const QList<QSslError>& errors) {
    TlsJudgement j;
    j.fingerprint = certificateFingerprint(certificate);
    if (certificate.isNull()) {
        j.warning = QStringLiteral("服务器没有出示证书，已断开连接");
        return j;
    }
    if (policy.mode == TlsPolicy::Mode::Plain) return j;  // nothing to judge: not asked for
    if (errors.isEmpty()) {
        j.accepted = j.verified = true;
        return j;
    }
    if (policy.mode == TlsPolicy::Mode::Pin) {
        if (j.fingerprint == policy.pin) {
            j.accepted = true;
        } else {
            j.warning =
                QStringLiteral(
                    "服务器证书已改变（保存的指纹 %1，现在的指纹 %2），"
                    "可能有人冒充服务器，已断开连接")
                    .arg(readableFingerprint(policy.pin), readableFingerprint(j.fingerprint));
        }
        return j;
    }
    if (policy.mode == TlsPolicy::Mode::FirstUse && onlySelfSigned(certificate, errors)) {
        j.accepted = j.firstUse = true;
        return j;
    }
    j.warning = QStringLiteral("服务器证书无法验证（%1），已断开连接").arg(faultsText(errors));
    return j;
}

}  // namespace xq

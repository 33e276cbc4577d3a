#include "socket/tls_gate.h"

namespace xq {

TlsGate::TlsGate(QSslSocket& socket, QObject* parent) : QObject(parent), socket_(socket) {
    connect(&socket_, &QSslSocket::connected, this, [this] {
        reached_ = true;
        if (policy_.encrypted()) return;  // the handshake comes first
        ready_ = true;
        emit ready();
    });
    connect(&socket_, &QSslSocket::sslErrors, this, [this](const QList<QSslError>& errors) {
        judgement_ = judgeCertificate(policy_, socket_.peerCertificate(), errors);
        // Not ignored, the faults end the handshake and the connection fails.
        if (judgement_.accepted) socket_.ignoreSslErrors(errors);
    });
    connect(&socket_, &QSslSocket::encrypted, this, &TlsGate::onEncrypted);
}

void TlsGate::connectTo(const QString& host, quint16 port, const TlsPolicy& policy) {
    policy_ = policy;
    judgement_ = {};
    reached_ = ready_ = false;
    if (policy_.encrypted()) {
        socket_.connectToHostEncrypted(host, port);
    } else {
        socket_.connectToHost(host, port);
    }
}

void TlsGate::onEncrypted() {
    // A certificate without faults reports none: it is judged now.
    if (judgement_.fingerprint.isEmpty())
        judgement_ = judgeCertificate(policy_, socket_.peerCertificate(), {});
    if (!judgement_.accepted) {
        socket_.abort();
        return;
    }
    ready_ = true;
    emit ready();
}

QString TlsGate::problem() const {
    if (!policy_.encrypted() || ready_) return {};
    if (!judgement_.warning.isEmpty()) return judgement_.warning;
    if (!QSslSocket::supportsSsl()) return QStringLiteral("本机不支持加密连接（找不到 OpenSSL）");
    if (reached_)
        return QStringLiteral("无法建立加密连接，服务器可能不支持加密（%1）")
            .arg(socket_.errorString());
    return {};
}

}  // namespace xq

#pragma once

#include <QObject>
#include <QSslSocket>

#include "socket/tls_policy.h"

namespace xq {

// Opens a socket as a policy says: a plain connection, or TLS with the server's certificate
// judged by the policy. It says ready() once the connection may carry the hello; when the
// connection fails instead, problem() tells whether the encryption was why.
class TlsGate : public QObject {
    Q_OBJECT

public:
    explicit TlsGate(QSslSocket& socket, QObject* parent = nullptr);

    void connectTo(const QString& host, quint16 port, const TlsPolicy& policy);

    const TlsPolicy& policy() const { return policy_; }
    // What became of the server's certificate (nothing for a plain connection).
    const TlsJudgement& judgement() const { return judgement_; }
    // Why the connection could not be made, in words for the user, when the encryption was the
    // reason; empty otherwise.
    QString problem() const;

signals:
    void ready();

private:
    void onEncrypted();

    QSslSocket& socket_;
    TlsPolicy policy_;
    TlsJudgement judgement_;
    bool reached_ = false;  // the server took the connection
    bool ready_ = false;
};

}  // namespace xq

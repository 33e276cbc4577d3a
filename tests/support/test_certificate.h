#pragma once

// Certificates made at test time with the openssl program: self-signed ones, and an authority
// with a certificate it signed. Tests skip when the program is missing.

#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <optional>

namespace xq::test {

struct TestCertificate {
    QSslCertificate certificate;
    QSslKey key;
    QSslCertificate authority;  // the one that signed it; null for a self-signed one
    QString certificateFile;    // both in PEM, for a server that reads files
    QString keyFile;

    // What a TLS server needs to show it.
    QSslConfiguration serverConfiguration() const {
        QSslConfiguration c = QSslConfiguration::defaultConfiguration();
        c.setLocalCertificate(certificate);
        c.setPrivateKey(key);
        c.setPeerVerifyMode(QSslSocket::VerifyNone);
        return c;
    }
};

class CertificateMaker {
public:
    static bool available() { return !QStandardPaths::findExecutable(program()).isEmpty(); }

    // A self-signed certificate for the name; it names no address, so 127.0.0.1 does not match.
    std::optional<TestCertificate> selfSigned(
        const QString& commonName = QStringLiteral("xq-test")) {
        const QString key = file(QStringLiteral("self.key")),
                      cert = file(QStringLiteral("self.pem"));
        if (!run({QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                  QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                  QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                  QStringLiteral("-keyout"), key, QStringLiteral("-out"), cert,
                  QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                  QStringLiteral("/CN=") + commonName}))
            return std::nullopt;
        return load(cert, key, QSslCertificate());
    }

    // An authority, and a certificate for 127.0.0.1 and localhost that it signed.
    std::optional<TestCertificate> signedByAuthority() {
        const QString caKey = file(QStringLiteral("ca.key")), ca = file(QStringLiteral("ca.pem"));
        const QString key = file(QStringLiteral("leaf.key")),
                      csr = file(QStringLiteral("leaf.csr"));
        const QString cert = file(QStringLiteral("leaf.pem")),
                      ext = file(QStringLiteral("ext.cnf"));
        const QStringList ecKey{
            QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
            QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
        QFile extensions(ext);
        if (!extensions.open(QIODevice::WriteOnly)) return std::nullopt;
        extensions.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n");
        extensions.close();
        if (!run(QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + ecKey +
                 QStringList{QStringLiteral("-keyout"), caKey, QStringLiteral("-out"), ca,
                             QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                             QStringLiteral("/CN=xq test authority"), QStringLiteral("-addext"),
                             QStringLiteral("basicConstraints=critical,CA:TRUE"),
                             QStringLiteral("-addext"),
                             QStringLiteral("keyUsage=critical,keyCertSign,cRLSign")}) ||
            !run(QStringList{QStringLiteral("req")} + ecKey +
                 QStringList{QStringLiteral("-keyout"), key, QStringLiteral("-out"), csr,
                             QStringLiteral("-subj"), QStringLiteral("/CN=localhost")}) ||
            !run({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), csr,
                  QStringLiteral("-CA"), ca, QStringLiteral("-CAkey"), caKey,
                  QStringLiteral("-CAcreateserial"), QStringLiteral("-out"), cert,
                  QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-extfile"), ext}))
            return std::nullopt;
        const auto authority = QSslCertificate::fromPath(ca);
        if (authority.isEmpty()) return std::nullopt;
        return load(cert, key, authority.front());
    }

private:
    static QString program() { return QStringLiteral("openssl"); }
    QString file(const QString& name) {
        return dir_.filePath(QStringLiteral("%1-%2").arg(++made_).arg(name));
    }

    static bool run(const QStringList& arguments) {
        QProcess p;
        p.start(program(), arguments);
        return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit &&
               p.exitCode() == 0;
    }

    static std::optional<TestCertificate> load(const QString& cert, const QString& key,
                                               const QSslCertificate& authority) {
        const auto certificates = QSslCertificate::fromPath(cert);
        QFile keyFile(key);
        if (certificates.isEmpty() || !keyFile.open(QIODevice::ReadOnly)) return std::nullopt;
        const QSslKey privateKey(&keyFile, QSsl::Ec);
        if (privateKey.isNull()) return std::nullopt;
        return TestCertificate{certificates.front(), privateKey, authority, cert, key};
    }

    QTemporaryDir dir_;
    int made_ = 0;
};

}  // namespace xq::test

#pragma once

#include <QByteArray>
#include <QString>

namespace xq::server::test {

// A key and a self-signed certificate made for one test run, as PEM files.
struct SelfSigned {
    QString certificateFile;
    QString keyFile;
    QByteArray sha256;  // the certificate's digest, the one a client sees
};

// Makes a fresh P-256 key and a certificate for 127.0.0.1 in `dir`, the files named after
// `stem`; empty names when OpenSSL could not make them.
SelfSigned makeSelfSigned(const QString& dir, const QString& stem);

// The first flight of a TLS client that speaks at most `maxVersion` (TLS1_2_VERSION...):
// its hello, as a client sends it to start the handshake.
QByteArray clientHello(int maxVersion);

}  // namespace xq::server::test

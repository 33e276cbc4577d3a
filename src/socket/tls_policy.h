#pragma once

#include <QList>
#include <QSslCertificate>
#include <QSslError>
#include <QString>

namespace xq {

// How a connection trusts the server it reaches.
struct TlsPolicy {
    enum class Mode {
        Plain,     // no TLS
        Verify,    // TLS with a certificate that an authority the system trusts has signed
        FirstUse,  // as Verify, or a self-signed certificate met for the first time, to be pinned
        Pin,       // TLS with the certificate of this fingerprint, or one that verifies
    };
    Mode mode = Mode::Plain;
    QString pin;  // Pin: the SHA-256 of the certificate's DER, in lowercase hex

    bool encrypted() const { return mode != Mode::Plain; }
    bool operator==(const TlsPolicy&) const = default;
};

// The policy as a hall hands it to its table client: "" for plain, "verify", or "pin:" and the
// fingerprint. First use is the hall's alone: it has somewhere to keep the pin.
QString tlsPolicyText(const TlsPolicy& policy);
// Reads that text. Text that asks for TLS in a way this program does not know gets the strictest
// policy, Verify: an unknown word never makes a connection less safe.
TlsPolicy tlsPolicyFromText(const QString& text);

// The SHA-256 of the certificate's DER in lowercase hex: what a pin is. Empty for a null one.
QString certificateFingerprint(const QSslCertificate& certificate);
// The same for people to read and compare: upper case, the bytes parted by ":".
QString readableFingerprint(const QString& fingerprint);

// What a policy makes of the certificate the server showed and the faults the system found in it.
struct TlsJudgement {
    bool accepted = false;
    bool verified = false;  // an authority vouches for it: no pin needed
    bool firstUse = false;  // self-signed, taken on first use: its fingerprint is to be kept
    QString fingerprint;
    QString warning;  // refused: why, for the user
};
TlsJudgement judgeCertificate(const TlsPolicy& policy, const QSslCertificate& certificate,
                              const QList<QSslError>& errors);

}  // namespace xq

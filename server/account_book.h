#pragma once

#include <QByteArray>
#include <QString>

namespace xq::server {

// The accounts as the hall's logins see them: looked up and changed on the server's thread (the
// store is used from the thread that opened it); hashing and checking passwords, the slow part,
// happen elsewhere with what these calls return.
class AccountBook {
public:
    struct Found {
        enum class Kind { Account, Missing, NoPasswordYet, Failed };
        Kind kind = Kind::Missing;
        QString name;     // as stored: a look-alike typed finds the stored spelling
        QByteArray hash;  // when an account
    };
    enum class Made { Created, NameTaken, NameConfusable, NameRefused, Failed };

    virtual ~AccountBook() = default;
    virtual Found find(const QString& name) = 0;
    // `error` says why in English, for the log.
    virtual Made create(const QString& name, const QByteArray& hash, int face, QString* error) = 0;
    virtual bool setHash(const QString& storedName, const QByteArray& hash, QString* error) = 0;
    // What names are compared by; the limits on guessing count per key.
    virtual QString keyOf(const QString& name) = 0;
};

}  // namespace xq::server

#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

#include "server/user_stats.h"

namespace xq::server {

// The accounts as the hall's logins see them. Look-ups and changes are answered later, on the
// server's thread, never from within the call (the store works on a thread of its own); hashing
// and checking passwords, the slow part, happen elsewhere with what these calls give.
class AccountBook {
public:
    struct Found {
        enum class Kind { Account, Missing, NoPasswordYet, Failed };
        Kind kind = Kind::Missing;
        QString name;                    // as stored: a look-alike typed finds the stored spelling
        QByteArray hash;                 // when an account
        std::optional<UserStats> stats;  // his statistics as stored, when found
    };
    enum class Made { Created, NameTaken, NameConfusable, NameRefused, Failed };
    struct Creation {
        Made made = Made::Failed;
        QString error;                   // why, in English, for the log
        std::optional<UserStats> stats;  // the new account's, when created
    };

    virtual ~AccountBook() = default;
    virtual void find(const QString& name, std::function<void(Found)> then) = 0;
    virtual void create(const QString& name, const QByteArray& hash, int face,
                        std::function<void(Creation)> then) = 0;
    // `then` gets an empty text when changed, else why not.
    virtual void setHash(const QString& storedName, const QByteArray& hash,
                         std::function<void(QString)> then) = 0;
    // What names are compared by; the limits on guessing count per key.
    virtual QString keyOf(const QString& name) = 0;
};

}  // namespace xq::server

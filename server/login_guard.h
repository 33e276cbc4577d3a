#pragma once

#include <QHash>
#include <QHostAddress>
#include <QSet>
#include <QString>
#include <deque>
#include <optional>

namespace xq::server {

// How many failed logins a minute (per address and per name) and registrations an hour (per
// address) the room takes.
struct GuessingLimits {
    int failedPerMinute = 10;
    int registrationsPerHour = 5;
};

// Limits on guessing passwords and on making accounts, free of real time: the caller gives the
// time in milliseconds. Failed logins count per address and per name over the last minute;
// registrations per address over the last hour. Names are given as their comparison key.
class LoginGuard {
public:
    using Limits = GuessingLimits;
    explicit LoginGuard(Limits limits = {}) : limits_(limits) {}

    // Seconds to wait before this address may try this name again; nothing when it may now.
    // The name's own limit spares an address that has opened this account before: a stranger
    // guessing elsewhere does not lock the owner out of his usual place.
    std::optional<int> loginWait(const QHostAddress& from, const QString& nameKey, qint64 nowMs);
    void failed(const QHostAddress& from, const QString& nameKey, qint64 nowMs);
    void succeeded(const QHostAddress& from, const QString& nameKey);

    // Minutes to wait before this address may register again; nothing when it may now.
    std::optional<int> registrationWait(const QHostAddress& from, qint64 nowMs);
    void registered(const QHostAddress& from, qint64 nowMs);

private:
    using Times = std::deque<qint64>;
    // Drops what is older than the window; the wait until the oldest leaves it when full.
    static std::optional<qint64> waitIn(Times& times, int limit, qint64 windowMs, qint64 nowMs);
    void forgetIdle(qint64 nowMs);

    Limits limits_;
    QHash<QString, Times> failedByAddress_;
    QHash<QString, Times> failedByName_;
    QHash<QString, Times> registrationsByAddress_;
    QHash<QString, QSet<QString>> knownAddresses_;  // name key: addresses that opened it
    qint64 lastSweepMs_ = 0;
};

}  // namespace xq::server

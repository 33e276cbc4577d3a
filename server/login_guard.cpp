#include "server/login_guard.h"

namespace xq::server {
namespace {

constexpr qint64 kMinuteMs = 60'000;
constexpr qint64 kHourMs = 60 * kMinuteMs;
// An owner keeps at most this many known addresses; the oldest go first.
constexpr int kKnownAddresses = 16;

QString keyOf(const QHostAddress& a) {
    // An IPv4 address seen through an IPv6 socket is the same address.
    bool v4 = false;
    const quint32 ip4 = a.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip4).toString() : a.toString();
}

int wholeSeconds(qint64 ms) {
    return static_cast<int>((ms + 999) / 1000);
}

}  // namespace

std::optional<qint64> LoginGuard::waitIn(Times& times, int limit, qint64 windowMs, qint64 nowMs) {
    while (!times.empty() && times.front() <= nowMs - windowMs)
        times.pop_front();
    if (static_cast<int>(times.size()) < limit) return std::nullopt;
    return times.front() + windowMs - nowMs;
}

void LoginGuard::forgetIdle(qint64 nowMs) {
    // Counters of addresses and names that went quiet are dropped now and then, so that a sweep
    // of many addresses does not keep memory for good.
    if (nowMs - lastSweepMs_ < kMinuteMs) return;
    lastSweepMs_ = nowMs;
    const auto sweep = [nowMs](QHash<QString, Times>& all, qint64 windowMs) {
        for (auto it = all.begin(); it != all.end();) {
            if (it->empty() || it->back() <= nowMs - windowMs) {
                it = all.erase(it);
            } else {
                ++it;
            }
        }
    };
    sweep(failedByAddress_, kMinuteMs);
    sweep(failedByName_, kMinuteMs);
    sweep(registrationsByAddress_, kHourMs);
}

std::optional<int> LoginGuard::loginWait(const QHostAddress& from, const QString& nameKey,
                                         qint64 nowMs) {
    forgetIdle(nowMs);
    const QString address = keyOf(from);
    qint64 wait = 0;
    if (auto it = failedByAddress_.find(address); it != failedByAddress_.end()) {
        wait = std::max(wait, waitIn(*it, limits_.failedPerMinute, kMinuteMs, nowMs).value_or(0));
    }
    if (!knownAddresses_.value(nameKey).contains(address)) {
        if (auto it = failedByName_.find(nameKey); it != failedByName_.end()) {
            wait =
                std::max(wait, waitIn(*it, limits_.failedPerMinute, kMinuteMs, nowMs).value_or(0));
        }
    }
    if (wait <= 0) return std::nullopt;
    return wholeSeconds(wait);
}

void LoginGuard::failed(const QHostAddress& from, const QString& nameKey, qint64 nowMs) {
    failedByAddress_[keyOf(from)].push_back(nowMs);
    failedByName_[nameKey].push_back(nowMs);
}

void LoginGuard::succeeded(const QHostAddress& from, const QString& nameKey) {
    QSet<QString>& known = knownAddresses_[nameKey];
    if (known.size() >= kKnownAddresses) known.erase(known.begin());
    known.insert(keyOf(from));
}

std::optional<int> LoginGuard::registrationWait(const QHostAddress& from, qint64 nowMs) {
    forgetIdle(nowMs);
    auto it = registrationsByAddress_.find(keyOf(from));
    if (it == registrationsByAddress_.end()) return std::nullopt;
    const auto wait = waitIn(*it, limits_.registrationsPerHour, kHourMs, nowMs);
    if (!wait) return std::nullopt;
    return static_cast<int>((*wait + kMinuteMs - 1) / kMinuteMs);
}

void LoginGuard::registered(const QHostAddress& from, qint64 nowMs) {
    registrationsByAddress_[keyOf(from)].push_back(nowMs);
}

}  // namespace xq::server

#pragma once

#include <QHash>
#include <QString>
#include <QtGlobal>

namespace xq::server {

// How much chat one participant may have relayed: a burst of lines, then one more line per
// interval. Everybody's client draws every line, so one fast talker must not hold up the others.
struct ChatRate {
    int burst = 5;
    qint64 intervalMs = 1000;
};

// One participant's use of his chat rate.
class ChatAllowance {
public:
    enum class Verdict { Pass, Drop, DropAndTell };

    // A line at `nowMs`: relayed, or dropped (the sender told once per run of dropped lines; more
    // would be a flood of its own).
    Verdict take(const ChatRate& rate, qint64 nowMs);

    bool hasRoom(const ChatRate& rate, qint64 nowMs) const;
    void spend(const ChatRate& rate, qint64 nowMs);
    Verdict refuse();
    // Back to a whole burst: the same as a fresh allowance.
    bool whole(qint64 nowMs) const { return dueMs_ <= nowMs; }

private:
    qint64 dueMs_ = 0;  // when the chat is back to a whole burst (less one line)
    bool told_ = false;
};

// Chat allowances by name and by address, shared by every connection under them: a fresh
// connection, or a fresh name from the same address, brings no fresh allowance.
class ChatBook {
public:
    // A line from `name` at `address` (empty: not held to an address) passes only when both
    // have room, and then uses both.
    ChatAllowance::Verdict take(const ChatRate& rate, qint64 nowMs, const QString& name,
                                const QString& address);
    int size() const { return static_cast<int>(byName_.size() + byAddress_.size()); }

private:
    // Allowances back to whole are dropped now and then: they are the same as none.
    void prune(qint64 nowMs);

    QHash<QString, ChatAllowance> byName_;
    QHash<QString, ChatAllowance> byAddress_;
    qint64 nextPruneMs_ = 0;
};

}  // namespace xq::server

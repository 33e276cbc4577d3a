#pragma once

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

private:
    qint64 dueMs_ = 0;  // when the chat is back to a whole burst (less one line)
    bool told_ = false;
};

}  // namespace xq::server

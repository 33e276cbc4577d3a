#pragma once

#include <functional>

namespace xq {

// Waits the given milliseconds while the event loop keeps running, so that messages, timers and
// clicks are handled meanwhile. Returns false at once when stop() becomes true (the program is
// closing), true after the full wait.
bool WaitTicks(double milliseconds, const std::function<bool()>& stop = {});

}  // namespace xq

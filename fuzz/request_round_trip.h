#pragma once

#include <QByteArray>

#include "net/table_requests.h"

namespace xq::fuzz {

// A request read from a frame, built again and read back is the same request: what the server
// acts on is exactly what a client's encoder can say.
inline void CheckRequestRoundTrip(const QByteArray& frame) {
    const tablemsg::ParsedRequest parsed = tablemsg::parseRequest(frame);
    const auto* request = std::get_if<tablemsg::Request>(&parsed);
    if (!request) return;
    const tablemsg::ParsedRequest again = tablemsg::parseRequest(tablemsg::encode(*request));
    const auto* back = std::get_if<tablemsg::Request>(&again);
    if (!back || !(*back == *request)) __builtin_trap();
}

}  // namespace xq::fuzz

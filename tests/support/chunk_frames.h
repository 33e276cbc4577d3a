#pragma once

#include <QByteArray>
#include <vector>

#include "net/table_requests.h"

namespace xq::test {

// The frames a client sends to upload a stored record.
inline std::vector<QByteArray> ChunkFrames(std::uint8_t seat, const QiPuHistory& history) {
    std::vector<QByteArray> frames;
    for (const tablemsg::RecordChunk& chunk : tablemsg::recordChunks(seat, history))
        frames.push_back(tablemsg::encode(chunk));
    return frames;
}

}  // namespace xq::test

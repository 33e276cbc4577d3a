#pragma once

#include <vector>

#include "net/table_requests.h"
#include "rules/history.h"

namespace xq::server {

// Puts an uploaded record together from its chunks, each of which must carry the same total and
// follow on from the moves before it.
class RecordUpload {
public:
    static constexpr int kMaxMoves = 2000;

    enum class Step { NeedMore, Complete, GivenUp, Refused };

    // Takes the next chunk, or the player's giving up. Once it has answered anything but
    // NeedMore it stays finished.
    Step add(const tablemsg::RecordChunk& chunk);
    Step giveUp();
    const std::vector<QiPuItem>& moves() const { return moves_; }
    void reset();

private:
    std::vector<QiPuItem> moves_;
    qint32 total_ = -1;
    bool finished_ = false;
};

}  // namespace xq::server

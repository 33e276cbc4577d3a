#pragma once

#include <vector>

#include "net/codec.h"
#include "rules/history.h"

namespace xq::server {

// Puts an uploaded record together from its chunks:
// [23, 3, seat, total (long), first - 1 (long), up to 50 moves of 4 bytes].
class RecordUpload {
public:
    static constexpr int kMaxMoves = 2000;
    static constexpr int kChunkMoves = 50;
    static constexpr int kHeader = 11;

    enum class Step { NeedMore, Complete, GivenUp, Refused };

    // Takes the next chunk. Once it has answered anything but NeedMore it stays finished.
    Step add(const Cmd& chunk);
    const std::vector<QiPuItem>& moves() const { return moves_; }
    void reset();

private:
    std::vector<QiPuItem> moves_;
    qint32 total_ = -1;
    bool finished_ = false;
};

}  // namespace xq::server

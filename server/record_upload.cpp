#include "server/record_upload.h"

namespace xq::server {

void RecordUpload::reset() {
    moves_.clear();
    total_ = -1;
    finished_ = false;
}

RecordUpload::Step RecordUpload::giveUp() {
    if (finished_) return Step::Refused;
    finished_ = true;
    return Step::GivenUp;
}

RecordUpload::Step RecordUpload::add(const tablemsg::RecordChunk& chunk) {
    if (finished_) return Step::Refused;
    finished_ = true;  // until the chunk proves good
    const qint32 total = chunk.total, before = chunk.before;
    if (total < 1 || total > kMaxMoves) return Step::Refused;
    if (total_ >= 0 && total != total_) return Step::Refused;
    if (before != static_cast<qint32>(moves_.size())) return Step::Refused;
    if (chunk.moves.empty() || chunk.moves.size() > static_cast<std::size_t>(kRecordChunkMoves))
        return Step::Refused;
    const auto count = static_cast<qint32>(chunk.moves.size());
    if (before + count > total) return Step::Refused;
    moves_.insert(moves_.end(), chunk.moves.begin(), chunk.moves.end());
    total_ = total;
    if (static_cast<qint32>(moves_.size()) == total_) return Step::Complete;
    finished_ = false;
    return Step::NeedMore;
}

}  // namespace xq::server

#include "server/record_upload.h"

namespace xq::server {

void RecordUpload::reset() {
    moves_.clear();
    total_ = -1;
    finished_ = false;
}

RecordUpload::Step RecordUpload::add(const Cmd& chunk) {
    if (finished_) return Step::Refused;
    finished_ = true;  // until the chunk proves good
    qint32 total = 0, before = 0;
    if (!GetLongFromCmd(total, chunk, 3) || !GetLongFromCmd(before, chunk, 7)) return Step::Refused;
    if (total == 0) return Step::GivenUp;
    if (total < 1 || total > kMaxMoves) return Step::Refused;
    if (total_ >= 0 && total != total_) return Step::Refused;
    if (before != static_cast<qint32>(moves_.size())) return Step::Refused;
    const qsizetype body = chunk.size() - kHeader;
    if (body < 4 || body % 4 != 0 || body / 4 > kChunkMoves) return Step::Refused;
    const auto count = static_cast<qint32>(body / 4);
    if (before + count > total) return Step::Refused;
    for (qsizetype i = kHeader; i + 3 < chunk.size(); i += 4) {
        moves_.push_back(QiPuItem{ByteAt(chunk, i), ByteAt(chunk, i + 1), ByteAt(chunk, i + 2),
                                  ByteAt(chunk, i + 3)});
    }
    total_ = total;
    if (static_cast<qint32>(moves_.size()) == total_) return Step::Complete;
    finished_ = false;
    return Step::NeedMore;
}

}  // namespace xq::server

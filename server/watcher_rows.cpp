#include "server/watcher_rows.h"

#include <algorithm>

namespace xq::server {

void SpectatorList::add(ConnId id, const QByteArray& encodedRow) {
    ids_.push_back(id);
    rows_.push_back(encodedRow);
    if (stale_) return;
    if (!joined_.isEmpty()) joined_.append('\n');
    joined_.append(encodedRow);
}

void SpectatorList::remove(ConnId id) {
    const auto it = std::find(ids_.begin(), ids_.end(), id);
    if (it == ids_.end()) return;
    rows_.erase(rows_.begin() + (it - ids_.begin()));
    ids_.erase(it);
    // Joined again when next needed: a crowd leaving costs one rebuild, not one each.
    stale_ = true;
    joined_.clear();
}

bool SpectatorList::replace(ConnId id, const QByteArray& encodedRow) {
    const auto it = std::find(ids_.begin(), ids_.end(), id);
    if (it == ids_.end()) return false;
    rows_[static_cast<std::size_t>(it - ids_.begin())] = encodedRow;
    stale_ = true;
    joined_.clear();
    return true;
}

const QByteArray& SpectatorList::joinedRows() const {
    if (stale_) {
        qsizetype size = 0;
        for (const QByteArray& row : rows_)
            size += row.size() + 1;
        joined_.reserve(size);
        for (const QByteArray& row : rows_) {
            if (!joined_.isEmpty()) joined_.append('\n');
            joined_.append(row);
        }
        stale_ = false;
    }
    return joined_;
}

}  // namespace xq::server

#pragma once

#include <QByteArray>
#include <vector>

#include "server/table_output.h"

namespace xq::server {

// The spectators in order of arrival with their user rows, encoded once. A spectator's row changes
// only when the store answers for him, so the spectators' rows of the user list are kept joined:
// each newcomer's list costs a copy instead of building and encoding every row again.
class SpectatorList {
public:
    void add(ConnId id, const QByteArray& encodedRow);
    void remove(ConnId id);
    // His row with new figures; false when he is not here.
    bool replace(ConnId id, const QByteArray& encodedRow);
    const std::vector<ConnId>& ids() const { return ids_; }
    // The rows joined by LF.
    const QByteArray& joinedRows() const;

private:
    std::vector<ConnId> ids_;
    std::vector<QByteArray> rows_;  // beside ids_
    mutable QByteArray joined_;
    mutable bool stale_ = false;
};

}  // namespace xq::server

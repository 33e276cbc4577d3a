#include "hall/hall_model.h"

#include <algorithm>

namespace xq::hall {
namespace {

// The table of that number in a list sorted by number, or the list's end.
template <typename List>
auto findTable(List& tables, int number) {
    const auto it = std::lower_bound(tables.begin(), tables.end(), number,
                                     [](const TableRow& r, int n) { return r.number < n; });
    return it != tables.end() && it->number == number ? it : tables.end();
}

}  // namespace

HallModel::HallModel(QObject* parent) : QObject(parent), players_(this) {}

bool HallModel::apply(const in::ServerMessage& message) {
    return std::visit(
        [this](const auto& m) {
            using T = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<T, in::OwnRow>) {
                setOwnRow(m.row);
            } else if constexpr (std::is_same_v<T, in::Players>) {
                players_.setRows(m.rows);
            } else if constexpr (std::is_same_v<T, in::PlayerChanged>) {
                players_.upsert(m.row);
            } else if constexpr (std::is_same_v<T, in::PlayerLeft>) {
                players_.remove(m.name);
            } else if constexpr (std::is_same_v<T, in::Tables>) {
                setTables(m.rows);
            } else if constexpr (std::is_same_v<T, in::TableChanged>) {
                changeTable(m.row);
            } else if constexpr (std::is_same_v<T, in::PlayerRows>) {
                players_.upsertAll(m.rows);
            } else if constexpr (std::is_same_v<T, in::PlayersGone>) {
                players_.removeAll(m.names);
            } else if constexpr (std::is_same_v<T, in::TableRows>) {
                for (const TableRow& row : m.rows)
                    changeTable(row);
            } else {
                return false;
            }
            return true;
        },
        message);
}

void HallModel::clear() {
    players_.setRows({});
    players_.setOwnName({});
    own_.reset();
    tables_.clear();
    emit tablesReset();
    emit ownRowChanged();
}

const TableRow* HallModel::table(int number) const {
    const auto it = findTable(tables_, number);
    return it != tables_.cend() ? &*it : nullptr;
}

void HallModel::setTables(const QList<TableRow>& rows) {
    // The server sends them in order; a list out of order or with a number twice is still kept
    // sorted and unique, so that lookups stay right.
    tables_ = rows;
    std::stable_sort(tables_.begin(), tables_.end(),
                     [](const TableRow& a, const TableRow& b) { return a.number < b.number; });
    tables_.erase(
        std::unique(tables_.begin(), tables_.end(),
                    [](const TableRow& a, const TableRow& b) { return a.number == b.number; }),
        tables_.end());
    emit tablesReset();
}

void HallModel::changeTable(const TableRow& row) {
    const auto known = findTable(tables_, row.number);
    if (known == tables_.end() || *known == row) return;
    *known = row;
    emit tableChanged(row.number);
}

void HallModel::setOwnRow(const PlayerRow& row) {
    if (!own_ || own_->name != row.name) players_.setOwnName(row.name);
    own_ = row;
    // The own row is one of the hall's rows too; when it comes alone it must not be missed there.
    players_.upsert(row);
    emit ownRowChanged();
}

}  // namespace xq::hall

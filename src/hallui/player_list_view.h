#pragma once

#include <QSortFilterProxyModel>
#include <QTableView>

#include "hall/player_list_model.h"

namespace xq::hall {

// Everybody in the hall, in the table window's user list colours, sortable by any column; the
// user's own row in bold and the details of a player as a tooltip.
class PlayerListView : public QTableView {
    Q_OBJECT

public:
    explicit PlayerListView(PlayerListModel& model, QWidget* parent = nullptr);

    // The name in a shown row, for tests; empty past the end.
    QString nameAt(int row) const;

private:
    class Look : public QSortFilterProxyModel {
    public:
        using QSortFilterProxyModel::QSortFilterProxyModel;
        QVariant data(const QModelIndex& index, int role) const override;
    };
    Look look_;
};

}  // namespace xq::hall

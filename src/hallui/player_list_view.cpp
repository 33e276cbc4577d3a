#include "hallui/player_list_view.h"

#include <QFont>
#include <QHeaderView>

#include "hallui/hall_look.h"
#include "look/ui_font.h"

namespace xq::hall {

QVariant PlayerListView::Look::data(const QModelIndex& index, int role) const {
    if (role == Qt::FontRole && index.data(PlayerListModel::kOwnRole).toBool()) {
        QFont bold = paneFont();
        bold.setBold(true);
        return bold;
    }
    return QSortFilterProxyModel::data(index, role);
}

PlayerListView::PlayerListView(PlayerListModel& model, QWidget* parent)
    : QTableView(parent), look_(this) {
    look_.setSourceModel(&model);
    setModel(&look_);
    setFont(paneFont());
    setSortingEnabled(true);
    sortByColumn(-1, Qt::AscendingOrder);  // as they came, until a column is chosen
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setShowGrid(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    const int widths[PlayerListModel::kColumns] = {100, 48, 56, 84, 60, 52, 36, 36, 36, 40};
    for (int c = 0; c < PlayerListModel::kColumns; ++c)
        setColumnWidth(c, widths[c]);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, kListBack);
    colours.setColor(QPalette::Text, kListText);
    colours.setColor(QPalette::Highlight, QColor(0, 90, 92));
    colours.setColor(QPalette::HighlightedText, kListText);
    setPalette(colours);
}

QString PlayerListView::nameAt(int row) const {
    return look_.index(row, PlayerListModel::kName).data().toString();
}

}  // namespace xq::hall

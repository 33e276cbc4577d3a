#include "ui/user_list_view.h"

#include <QHeaderView>
#include <QMouseEvent>

#include "look/ui_font.h"

namespace xq {

UserListView::UserListView(UserListModel& model, QWidget* parent)
    : QTableView(parent), model_(model) {
    setModel(&model);
    setFont(paneFont());
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(18);
    horizontalHeader()->setHighlightSections(false);
    setWordWrap(false);
    connect(&model, &QAbstractItemModel::modelReset, this, &UserListView::applyColumnWidths);
}

void UserListView::setColours(const QColor& back, const QColor& fore) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, back);
    pal.setColor(QPalette::Text, fore);
    setPalette(pal);
}

void UserListView::setTitle(const QString& title) {
    title_ = title;
    setToolTip(title);
}

void UserListView::applyColumnWidths() {
    const QList<int> widths = model_.columnWidths();
    for (int i = 0; i < widths.size() && i < model_.columnCount(); ++i) {
        setColumnWidth(i, widths[i]);
    }
}

void UserListView::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) return;
    const QString name = model_.nameAt(index.row());
    const QString row = model_.rowText(index.row());
    if (event->button() == Qt::RightButton) {
        emit personClicked(true, name, row);
    } else if (event->button() == Qt::LeftButton) {
        emit personClicked(false, name, row);
    }
}

}  // namespace xq

#pragma once

#include <QAbstractListModel>
#include <QStringList>

namespace xq {

// The lines of a move list and its selected line, as a model a list view can show directly.
class QiPuLineList : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const QStringList& lines() const { return lines_; }
    int count() const { return static_cast<int>(lines_.size()); }

    void clear();
    void addLine(const QString& line);
    void removeLast();
    // Out-of-range rows are left alone.
    void setLine(int row, const QString& line);
    // The selected line, -1 for none; out-of-range rows select nothing.
    int selectedRow() const { return selected_; }
    void select(int row);

signals:
    void selectionChanged(int row);

private:
    QStringList lines_;
    int selected_ = -1;
};

}  // namespace xq

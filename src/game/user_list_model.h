#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

#include "startup/session.h"

namespace xq {

// Everybody at the table, one user row (16 fields) per person, keyed by the name. The first
// eleven columns are shown; the level column shows the level's title.
class UserListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kVisibleColumns = 11;

    explicit UserListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Set-up of the list, as the window gives it at load.
    void setHeadings(const QString& headings, int visibleColumns);
    void setColumnWidths(const QString& widths);
    void setLevelTable(const QString& levelInfo);
    void setOwnName(const QString& name) { ownName_ = name; }
    const QString& ownName() const { return ownName_; }
    QList<int> columnWidths() const { return widths_; }

    void clear();
    // Replaces the list by the rows of the text (one row per line) and returns the names of all
    // rows joined by "`", as the users-loaded event carries them.
    QString loadAll(const QString& text);
    void addRow(const QString& row);
    void removeRow(const QString& name);
    // The row text of a name, empty when the name is not in the list.
    QString findRow(const QString& name) const;
    // Replaces the row of the same name; a name not in the list is added.
    void updateRow(const QString& row);

    QString rowText(int row) const;
    QString nameAt(int row) const;

private:
    int indexOf(const QString& name) const;

    std::vector<QStringList> rows_;
    QStringList headings_;
    QList<int> widths_;
    Session levels_;  // only its level table is used
    QString ownName_;
    int visibleColumns_ = kVisibleColumns;
};

}  // namespace xq

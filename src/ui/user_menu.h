#pragma once

#include <QMenu>
#include <QStringList>

namespace xq {

// The person menu: eight items with a person's details; "-" items are separators. Choosing an
// item reports its index and the person's name.
class UserMenu : public QMenu {
    Q_OBJECT

public:
    explicit UserMenu(QWidget* parent = nullptr);
    void setItems(const QStringList& captions, const QString& name);
    const QString& name() const { return name_; }

signals:
    void chosen(int index, const QString& name);

private:
    QString name_;
};

}  // namespace xq

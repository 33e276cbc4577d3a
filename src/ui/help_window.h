#pragma once

#include <QDialog>

class QTextBrowser;

namespace xq {

// The help of the table window: how to play at this table, the rules of xiangqi in brief, and the
// keys; in Chinese. One window, not modal.
class HelpWindow : public QDialog {
    Q_OBJECT

public:
    explicit HelpWindow(const QString& gameName, QWidget* parent = nullptr);
    QString text() const;

private:
    QTextBrowser* browser_;
};

}  // namespace xq

#pragma once

#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "game/msg_pool.h"

namespace xq {

// One notice or question: a topmost dialog with the note, an optional icon, none, one or two
// buttons, and a count-down on the counting button that answers by itself. It opens over the
// owner's window; a notice has no owner as a dialog but opens over that window as well.
class MsgBox : public QDialog {
    Q_OBJECT

public:
    MsgBox(const MsgBoxInfo& info, const QString& iconFile, QWidget* owner);

    const MsgBoxInfo& info() const { return info_; }
    QPushButton* button(int index) const { return index == 0 ? yes_ : no_; }
    const QString& note() const { return info_.note; }
    // One second of the count-down (the timer calls it; tests may too).
    void tick();

    // Twips of this screen per pixel.
    static double twipsPerPixel(const QWidget* widget);

signals:
    // A button was pressed or the count-down ran out: 0 Yes, 1 No.
    void answered(int button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void press(int index);
    void layOut();
    // Moves the box, whose outer size this is, to where it opens.
    void place(QSize outer);

    MsgBoxInfo info_;
    MsgCountdown countdown_;
    QString iconFile_;
    QPointer<QWidget> owner_;
    QLabel* note_;
    QPushButton* yes_;
    QPushButton* no_;
    QTimer timer_;
    bool answered_ = false;
};

}  // namespace xq

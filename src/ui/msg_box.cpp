#include "ui/msg_box.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>

namespace xq {
namespace {

constexpr int kButtonWidth = 89;
constexpr int kButtonHeight = 23;

// Where a box of this size opens: centred over the window it belongs to, or over the screen when
// there is none on the screen, and kept wholly inside that screen's free area.
QPoint Placement(QSize size, const QWidget* over) {
    const bool shown = over != nullptr && over->isVisible();
    const QRect window = shown ? over->frameGeometry() : QRect();
    QScreen* screen = shown ? QGuiApplication::screenAt(window.center()) : nullptr;
    if (screen == nullptr && over != nullptr) screen = over->screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return {};
    QRect box(QPoint(), size);
    box.moveCenter(shown ? window.center() : screen->geometry().center());
    const QRect free = screen->availableGeometry();
    box.moveLeft(std::max(free.left(), std::min(box.left(), free.right() + 1 - box.width())));
    box.moveTop(std::max(free.top(), std::min(box.top(), free.bottom() + 1 - box.height())));
    return box.topLeft();
}

}  // namespace

double MsgBox::twipsPerPixel(const QWidget* widget) {
    const QScreen* screen = widget != nullptr && widget->screen() != nullptr
                                ? widget->screen()
                                : QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

MsgBox::MsgBox(const MsgBoxInfo& info, const QString& iconFile, QWidget* owner)
    : QDialog(info.type == 0 ? nullptr : owner, Qt::Dialog | Qt::WindowStaysOnTopHint |
                                                    Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      info_(info),
      countdown_(info),
      iconFile_(iconFile),
      owner_(owner),
      note_(new QLabel(this)),
      yes_(new QPushButton(this)),
      no_(new QPushButton(this)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    note_->setWordWrap(true);
    note_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    note_->setTextFormat(Qt::PlainText);
    note_->setText(info.note);
    for (QPushButton* b : {yes_, no_}) {
        b->resize(kButtonWidth, kButtonHeight);
        // Enter (and the keypad's Enter) presses the button with the focus, as on any dialog.
        b->setAutoDefault(true);
    }
    yes_->setText(MsgCountdown::YesCaption(info));
    no_->setText(MsgCountdown::NoCaption(info));
    connect(yes_, &QPushButton::clicked, this, [this] { press(0); });
    connect(no_, &QPushButton::clicked, this, [this] { press(1); });
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &MsgBox::tick);
    setModal(info.type != 0);
    layOut();
}

void MsgBox::layOut() {
    const double tpp = twipsPerPixel(this);
    const auto px = [tpp](int twips) { return static_cast<int>(twips / tpp + 0.5); };
    if (info_.type == 0) {
        setWindowTitle(QString());
        yes_->hide();
        no_->hide();
        setFixedSize(px(5960), px(1030));
        note_->setGeometry(50, 25, width() - 60, height() - 40);
    } else {
        setWindowTitle(info_.caption);
        setFixedSize(px(5525), px(2165));
        note_->setGeometry(50, 22, width() - 60, height() - 70);
        const int top = height() - 30;
        if (info_.type == 1) {
            no_->hide();
            yes_->move((width() - kButtonWidth) / 2, top);
        } else {
            const int x0 = (width() - 2 * kButtonWidth - 6) / 2;
            yes_->move(x0, top);
            no_->move(x0 + kButtonWidth + 6, top);
        }
    }
    place(size());
}

void MsgBox::place(QSize outer) {
    move(Placement(outer, owner_ != nullptr ? owner_->window() : nullptr));
}

void MsgBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Once the box is a window its frame is known (where the system tells it this early): the
    // frame is what is centred and kept on the screen.
    if (!event->spontaneous()) place(frameGeometry().size());
    if (info_.type != 0) {
        timer_.start();
        button(info_.type == 2 && !info_.yesDefault ? 1 : 0)->setFocus();
    }
}

void MsgBox::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter p(this);
    const QImage icon(iconFile_);
    if (!icon.isNull()) p.drawImage(10, 15, icon);
    if (info_.type != 0) {
        const int y = yes_->y() - 10;
        p.setPen(QColor(255, 255, 255));
        p.drawLine(10, y, width() - 10, y);
        p.setPen(QColor(132, 130, 132));
        p.drawLine(10, y + 1, width() - 10, y + 1);
    }
}

void MsgBox::tick() {
    if (info_.type == 0) {
        timer_.stop();
        return;
    }
    const MsgCountdown::Tick t = countdown_.tick();
    button(t.button)->setText(t.caption);
    if (t.fire) {
        timer_.stop();
        press(t.button);
    }
}

void MsgBox::press(int index) {
    timer_.stop();
    if (answered_) return;
    answered_ = true;
    emit answered(index);
    done(index == 0 ? Accepted : Rejected);
}

}  // namespace xq

#include "ui/control_panel.h"

#include "board/surface_image.h"

#include <QMouseEvent>
#include <QPainter>

#include "game/table.h"
#include "look/ui_font.h"
#include "ui/player_panels.h"

namespace xq {
namespace {

const QColor kPanelColour(223, 139, 211);

}  // namespace

ControlPanel::ControlPanel(Table& table, QWidget* parent)
    : QWidget(parent), table_(table), list_(new QListView(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFont(paneFont());
    list_->setModel(&table.g.lstQiPu);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setFont(paneFont());
    // The game decides the selection; the view follows it.
    connect(&table.g.lstQiPu, &QiPuLineList::selectionChanged, list_, [this](int row) {
        if (row < 0) {
            list_->clearSelection();
        } else {
            const QModelIndex index = table_.g.lstQiPu.index(row);
            list_->setCurrentIndex(index);
            list_->scrollTo(index);
        }
    });
}

QRect ControlPanel::buttonRect(int index) const {
    return {15, optButtonTop(height(), index), 59, 20};
}

void ControlPanel::resizeEvent(QResizeEvent*) {
    const int w = width(), h = height();
    list_->setGeometry(84, 30, qMax(10, w - 94), qMax(0, h - 40));
    paintPanel();
}

void ControlPanel::paintPanel() {
    if (painting_ || size().isEmpty()) return;
    painting_ = true;
    skins_.setBase(table_.s.strAppPath);
    skins_.beginPass();
    if (logicalSize(image_) != size() || image_.devicePixelRatio() != devicePixelRatioF())
        image_ = surfaceImage(size(), devicePixelRatioF());
    image_.fill(kPanelColour);
    const int w = width(), h = height();
    const QImage* tile = skins_.image(QStringLiteral("Res\\UserOptCaptionBk.bmp"));
    if (tile != nullptr) {
        QPainter p(&image_);
        for (int x = 3; x <= w; x += 6)
            p.drawImage(x, 3, *tile);
        pixelOutline(p, 0, 0, w - 1, h - 1, QColor(0, 0, 255));
        pixelOutline(p, 1, 1, w - 2, h - 2, QColor(192, 192, 192));
        pixelOutline(p, 2, 2, w - 3, h - 3, QColor(0, 0, 255));
        p.setFont(font());
        const int ascent = QFontMetrics(font()).ascent();
        p.setPen(QColor(220, 220, 255));
        p.drawText(8, 7 + ascent, QStringLiteral("操控面板"));
        p.setPen(Qt::black);
        p.drawText(7, 6 + ascent, QStringLiteral("操控面板"));
        if (skins_.image(QStringLiteral("Res\\UserOptButton.bmp")) != nullptr) {
            p.end();
            for (int i = 0; i < 7; ++i)
                paintOptButton(i);
            QPainter q(&image_);
            const QRect l = list_->geometry();
            q.fillRect(
                QRect(QPoint(l.left() + 1, l.top() + 1), QPoint(l.right() + 2, l.bottom() + 2)),
                QColor(100, 100, 100));
            q.fillRect(
                QRect(QPoint(l.left() + 2, l.top() + 2), QPoint(l.right() + 3, l.bottom() + 3)),
                QColor(100, 100, 100));
            // The outline lies on the pixels just outside the list: (L - 1, T - 1) to
            // (L + LW, T + LH).
            pixelOutline(q, l.left() - 1, l.top() - 1, l.right() + 1, l.bottom() + 1,
                         QColor(200, 250, 250));
        }
    }
    update();
    painting_ = false;
}

void ControlPanel::paintOptButton(int index) {
    if (index < 0 || index > 6 || image_.isNull()) return;
    const QImage* sprite = skins_.image(QStringLiteral("Res\\UserOptButton.bmp"));
    if (sprite == nullptr) return;
    const int state = qBound(0, int{table_.g.bteOptButState[static_cast<std::size_t>(index)]}, 2);
    const QRect r = buttonRect(index);
    QPainter p(&image_);
    p.drawImage(r.topLeft(), *sprite, QRect(59 * state, 0, 59, 20));
    p.setFont(font());
    const int ascent = QFontMetrics(font()).ascent();
    p.setPen(QColor(240, 240, 240));
    p.drawText(r.left() + 16, r.top() + 6 + ascent - 2, kCaptions[index]);
    p.setPen(Qt::black);
    p.drawText(r.left() + 15, r.top() + 5 + ascent - 2, kCaptions[index]);
    update(r);
}

void ControlPanel::hover(int hit) {
    auto& states = table_.g.bteOptButState;
    for (int i = 0; i < 7; ++i) {
        if (i != hit && states[static_cast<std::size_t>(i)] == kButtonHover) {
            states[static_cast<std::size_t>(i)] = kButtonNormal;
            paintOptButton(i);
        }
    }
    if (hit >= 0 && states[static_cast<std::size_t>(hit)] == kButtonNormal) {
        states[static_cast<std::size_t>(hit)] = kButtonHover;
        paintOptButton(hit);
    }
}

void ControlPanel::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    hover(HitOptButton(height(), pos.x(), pos.y()));
}

void ControlPanel::leaveEvent(QEvent*) {
    hover(-1);
}

void ControlPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    // A press is over the button as much as a move is: a second click in the same place, or a
    // tap, comes without any move before it.
    const QPoint pos = event->position().toPoint();
    hover(HitOptButton(height(), pos.x(), pos.y()));
}

void ControlPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();
    const int hit = HitOptButton(height(), pos.x(), pos.y());
    if (hit < 0 || table_.g.bteOptButState[static_cast<std::size_t>(hit)] == kButtonDisabled)
        return;
    table_.g.bteOptButState[static_cast<std::size_t>(hit)] = kButtonNormal;
    paintOptButton(hit);
    table_.DoUserOpt(hit);
}

void ControlPanel::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    if (image_.isNull()) {
        p.fillRect(event->rect(), kPanelColour);
        return;
    }
    drawSurfaceArea(p, image_, event->rect());
}

}  // namespace xq

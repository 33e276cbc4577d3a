#include "hallui/table_grid.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <QToolTip>

#include "hall/level_titles.h"
#include "hallui/hall_look.h"
#include "hallui/table_cell.h"
#include "look/builtin_pictures.h"
#include "look/ui_font.h"

namespace xq::hall {
namespace {

constexpr int kGap = 12;

}  // namespace

TableGrid::TableGrid(HallModel& model, const QString& hallDir, QWidget* parent)
    : QWidget(parent), model_(model) {
    QString base = hallDir;
    if (!base.endsWith(u'/')) base += u'/';
    skins_.setBase(base);
    setMouseTracking(true);
    setFont(paneFont());
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    connect(&model_, &HallModel::tablesReset, this, &TableGrid::relayout);
    connect(&model_, &HallModel::tableChanged, this,
            [this](int number) { update(tableRect(number)); });
    // Faces come from the players' rows: a change there may change a seat's picture.
    connect(&model_.players(), &QAbstractItemModel::modelReset, this,
            qOverload<>(&QWidget::update));
    connect(&model_.players(), &QAbstractItemModel::dataChanged, this,
            qOverload<>(&QWidget::update));
    connect(&model_.players(), &QAbstractItemModel::rowsInserted, this,
            qOverload<>(&QWidget::update));
}

QRect TableGrid::tableRect(int number) const {
    const auto& tables = model_.tables();
    for (int i = 0; i < tables.size(); ++i) {
        if (tables[i].number == number) return QRect(cardOrigin(i), table_cell::kSize);
    }
    return {};
}

QRect TableGrid::seatRect(int number, int seat) const {
    const QRect card = tableRect(number);
    if (card.isNull() || (seat != 0 && seat != 1)) return {};
    return table_cell::seatRect(seat).translated(card.topLeft());
}

int TableGrid::columnsFor(int width) const {
    return std::max(1, (width - kGap) / (table_cell::kSize.width() + kGap));
}

int TableGrid::heightForWidth(int width) const {
    const int count = static_cast<int>(model_.tables().size());
    const int columns = columnsFor(width);
    const int rows = (count + columns - 1) / columns;
    return kGap + rows * (table_cell::kSize.height() + kGap);
}

QSize TableGrid::sizeHint() const {
    const int width = kGap + 3 * (table_cell::kSize.width() + kGap);
    return {width, heightForWidth(width)};
}

QSize TableGrid::minimumSizeHint() const {
    return {table_cell::kSize.width() + 2 * kGap, table_cell::kSize.height() + 2 * kGap};
}

QPoint TableGrid::cardOrigin(int index) const {
    const int columns = columnsFor(width());
    // The cards are centred in the width they do not fill.
    const int used = columns * table_cell::kSize.width() + (columns - 1) * kGap;
    const int left = std::max(kGap, (width() - used) / 2);
    return {left + (index % columns) * (table_cell::kSize.width() + kGap),
            kGap + (index / columns) * (table_cell::kSize.height() + kGap)};
}

TableGrid::Hit TableGrid::hitAt(QPoint at) const {
    const auto& tables = model_.tables();
    for (int i = 0; i < tables.size(); ++i) {
        const QRect card(cardOrigin(i), table_cell::kSize);
        if (card.contains(at)) return {i, table_cell::seatAt(at - card.topLeft())};
    }
    return {};
}

const QImage* TableGrid::faceOf(const QString& name) {
    const PlayerRow* player = model_.players().find(name);
    const int face = player != nullptr ? player->face : 0;
    // As the table window numbers its pictures: the face number's last three digits, from 1.
    const int picture = (face % 1000 + 1000) % 1000 + 1;
    return skins_.image(QStringLiteral("UserRes\\LargeUser\\%1.ico").arg(picture));
}

void TableGrid::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QImage tile = builtinPicture("gameback.png");
    if (tile.isNull()) {
        p.fillRect(event->rect(), kRoomBack);
    } else {
        p.drawTiledPixmap(rect(), QPixmap::fromImage(tile));
    }
    if (board_.isNull() || board_.devicePixelRatio() != devicePixelRatioF()) {
        board_ = table_cell::boardThumbnail(
            skins_.image(QStringLiteral("game\\Res\\QiPanBack_0.jpg")), devicePixelRatioF());
    }
    skins_.beginPass();
    const auto& tables = model_.tables();
    for (int i = 0; i < tables.size(); ++i) {
        const QRect card(cardOrigin(i), table_cell::kSize);
        if (!card.intersects(event->rect())) continue;
        table_cell::Look look;
        look.row = tables[i];
        for (std::size_t seat = 0; seat < 2; ++seat) {
            if (!look.row.names[seat].isEmpty()) look.faces[seat] = faceOf(look.row.names[seat]);
        }
        look.board = board_;
        look.hover = hover_.index == i;
        look.hoverSeat = hover_.seat;
        table_cell::paint(p, card.topLeft(), look, font());
    }
    if (tables.isEmpty()) {
        p.setPen(kCaptionText);
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("房间里还没有桌子"));
    }
}

void TableGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const Hit hit = hitAt(event->position().toPoint());
    if (hit.index < 0 || hit.index >= model_.tables().size()) return;
    const TableRow& row = model_.tables()[hit.index];
    if (hit.seat == 0 || hit.seat == 1) {
        const QString& seated = row.names[static_cast<std::size_t>(hit.seat)];
        // His own seat: the way back to it when his table window is gone (the room decides).
        const bool own = model_.ownRow() && !seated.isEmpty() && seated == model_.ownRow()->name;
        if (seated.isEmpty() || own) {
            emit sitRequested(row.number, hit.seat);
            return;
        }
    }
    emit watchRequested(row.number);
}

void TableGrid::mouseMoveEvent(QMouseEvent* event) {
    setHover(hitAt(event->position().toPoint()));
}

void TableGrid::leaveEvent(QEvent*) {
    setHover({});
}

bool TableGrid::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = toolTipAt(help->pos());
        if (tip.isEmpty()) {
            QToolTip::hideText();
        } else {
            // Names are the players' own: shown as they are, never read as markup.
            QToolTip::showText(help->globalPos(), Qt::convertFromPlainText(tip), this);
        }
        return true;
    }
    return QWidget::event(event);
}

QString TableGrid::toolTipAt(QPoint at) const {
    return tipAt(hitAt(at));
}

QString TableGrid::tipAt(const Hit& hit) const {
    if (hit.index < 0 || hit.index >= model_.tables().size()) return {};
    const TableRow& row = model_.tables()[hit.index];
    if (hit.seat != 0 && hit.seat != 1) {
        return QStringLiteral("第 %1 桌：%2，旁观 %3 人\n双击旁观")
            .arg(row.number)
            .arg(row.playing ? QStringLiteral("对局中") : QStringLiteral("未开局"))
            .arg(row.spectators);
    }
    const QString& name = row.names[static_cast<std::size_t>(hit.seat)];
    if (name.isEmpty()) return QStringLiteral("空座\n双击入座");
    if (const PlayerRow* player = model_.players().find(name))
        return playerDetails(*player) + QStringLiteral("\n双击旁观");
    return QStringLiteral("%1\n级别：%2（积分 %3）\n双击旁观")
        .arg(name, levelTitle(row.scores[static_cast<std::size_t>(hit.seat)]))
        .arg(row.scores[static_cast<std::size_t>(hit.seat)]);
}

void TableGrid::setHover(const Hit& hit) {
    if (hit.index == hover_.index && hit.seat == hover_.seat) return;
    const auto& tables = model_.tables();
    for (const int index : {hover_.index, hit.index}) {
        if (index >= 0 && index < tables.size())
            update(QRect(cardOrigin(index), table_cell::kSize));
    }
    hover_ = hit;
}

void TableGrid::relayout() {
    hover_ = {};
    updateGeometry();
    update();
}

}  // namespace xq::hall

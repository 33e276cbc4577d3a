#include "ui/game_pane.h"

#include "board/surface_image.h"

#include <QMouseEvent>
#include <QPainter>

#include "game/table.h"
#include "look/builtin_pictures.h"
#include "look/ui_font.h"
#include "prefs/user_settings.h"
#include "ui/plain_message.h"
#include "ui/player_panels.h"
#include "ui/table_scene.h"
#include "ui/window_layout.h"

namespace xq {
namespace {

constexpr int kStyleBoxPitch = 22;

const QStringList kStyleNames = {QStringLiteral(" 简明"), QStringLiteral(" 经典"),
                                 QStringLiteral(" 真实"), QStringLiteral(" 时尚")};

QImage Builtin(const char* name) {
    return builtinPicture(name);
}

// A copy drawn with a negative width or height extends left or up from the point, mirrored.
void drawMirrored(QPainter& p, int x, int y, int w, int h, const QImage& image) {
    QRect r(x, y, std::abs(w), std::abs(h));
    if (w < 0) r.moveLeft(x + w);
    if (h < 0) r.moveTop(y + h);
    p.drawImage(r, image.mirrored(w < 0, h < 0));
}

}  // namespace

GamePane::GamePane(Table& table, QWidget* parent)
    : QWidget(parent),
      table_(table),
      font_(paneFont()),
      board_(new BoardView(this)),
      boardStyle_(new QComboBox(this)),
      pieceStyle_(new QComboBox(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFont(font_);
    for (QComboBox* box : {boardStyle_, pieceStyle_}) {
        box->addItems(kStyleNames);
        box->setFont(font_);
        // The plate's two lines are 22 pixels apart; a taller box would cover the next one.
        box->setFixedHeight(kStyleBoxPitch);
    }
    boardStyle_->setCurrentIndex(styleOrDefault(table.prefs.bteQiPanStyle));
    pieceStyle_->setCurrentIndex(styleOrDefault(table.prefs.bteQiZiStyle));
    board_->setScene(tableScene(table.s, table.g, table.prefs));
    tellSaveFailure = [this](const QString& text) {
        warnPlain(window(), QStringLiteral("用户设置"), text);
    };
    // A style picked is kept in the settings file, then drawn; a file that cannot be written is
    // told, not passed over, since the pick would be gone at the next start.
    const auto pick = [this](bool boardStyle, int style) {
        QString error;
        SettingsStore& store = table_.settingsStore;
        const bool kept = boardStyle ? store.chooseBoardStyle(style, &error)
                                     : store.choosePieceStyle(style, &error);
        board_->repaintBoard();
        if (!kept && tellSaveFailure) tellSaveFailure(QStringLiteral("用户设置无法保存：") + error);
    };
    connect(boardStyle_, &QComboBox::activated, this, [pick](int style) { pick(true, style); });
    connect(pieceStyle_, &QComboBox::activated, this, [pick](int style) { pick(false, style); });
}

void GamePane::resizeEvent(QResizeEvent*) {
    layOut();
    paintAll();
}

void GamePane::layOut() {
    const int gw = width(), gh = height();
    // The boxes sit on their plate's two lines.
    boardStyle_->move(66, styleBackTop(gh) + 35);
    pieceStyle_->move(66, styleBackTop(gh) + 35 + kStyleBoxPitch);
    board_->setGeometry(BoardRect(QSize(gw, gh)));
}

void GamePane::paintBackground(QPainter& p) {
    const int gw = width(), gh = height();
    const QImage tile = Builtin("gameback.png");
    if (!tile.isNull()) {
        for (int y = 0; y <= gh; y += tile.height()) {
            for (int x = 0; x <= gw; x += tile.width())
                p.drawImage(x, y, tile);
        }
    }
    if (const QImage* v = skins_.image(QStringLiteral("Res\\GameBackVsBian.bmp"))) {
        for (int y = 0; y <= gh; y += 16) {
            drawMirrored(p, 6, y, -7, v->height(), *v);
            p.drawImage(gw - 7, y, *v);
        }
        if (const QImage* hz = skins_.image(QStringLiteral("Res\\GameBackHsBian.bmp"))) {
            for (int x = 0; x <= gw; x += 16) {
                p.drawImage(x, 0, *hz);
                drawMirrored(p, x, gh - 1, 16, -7, *hz);
            }
        }
    }
    if (const QImage* corner = skins_.image(QStringLiteral("Res\\GameBackJiao.bmp"))) {
        drawMirrored(p, 52, 0, -53, 50, *corner);
        drawMirrored(p, 52, gh, -53, -50, *corner);
        p.drawImage(gw - 53, 0, *corner);
        drawMirrored(p, gw - 53, gh, 53, -50, *corner);
    }
    if (const QImage* style = skins_.image(QStringLiteral("Res\\StyleBack.bmp"))) {
        p.drawImage(10, styleBackTop(gh), *style);
    }
    if (const QImage* info = skins_.image(QStringLiteral("Res\\UserInfo.bmp"))) {
        p.drawImage(12, panelPlateTop(gh), *info);
    }
}

void GamePane::paintAll() {
    if (painting_ || size().isEmpty()) return;
    painting_ = true;
    skins_.setBase(table_.s.strAppPath);
    faces_.setBase(table_.s.strParentPath);
    skins_.beginPass();
    faces_.beginPass();
    if (logicalSize(image_) != size() || image_.devicePixelRatio() != devicePixelRatioF())
        image_ = surfaceImage(size(), devicePixelRatioF());
    image_.fill(QColor(8, 73, 165));
    {
        QPainter p(&image_);
        paintBackground(p);
    }
    if (!table_.s.strWatchUserName.isEmpty()) {
        for (int seat = 0; seat < 2; ++seat) {
            paintPlayerFace(seat);
            paintNetBreak(seat);
            if (table_.g.blnNoGame) {
                paintHandMark(seat);
                table_.ShowReadyPieces(seat);
            } else {
                paintRunFlag(seat, true);
                paintClockA(seat);
                paintClockB(seat);
            }
        }
        table_.RefreshStartButton();
        paintScoreText();
    }
    update();
    painting_ = false;
}

int GamePane::slotOf(int seat) const {
    return table_.s.bteSeatPanel[static_cast<std::size_t>(seat)] == 1 ? 1 : 0;
}

void GamePane::fill(QPainter& p, QRect r) {
    p.fillRect(r, kPanelBack);
}

void GamePane::paintPlayerFace(int seat) {
    if (!validSeat(seat) || image_.isNull()) return;
    const PanelLayout layout(height());
    const int slot = slotOf(seat);
    const SeatUserItem& who = table_.s.SeatUsers[static_cast<std::size_t>(seat)];
    QPainter p(&image_);
    const QPoint at = layout.origin[slot], name = layout.name(slot);
    if (who.strUserName.isEmpty()) {
        fill(p, QRect(at, QSize(33, 33)));
        fill(p, QRect(name, QSize(106, 13)));
    } else {
        faces_.beginPass();
        const int picture = (who.lngFaceNo % 1000 + 1000) % 1000 + 1;
        const QImage* face =
            faces_.image(QStringLiteral("UserRes\\LargeUser\\%1.ico").arg(picture));
        if (face != nullptr) {
            p.drawImage(QRect(at, QSize(32, 32)), *face);
            p.setFont(font_);
            p.setPen(Qt::black);
            p.drawText(name + QPoint(0, QFontMetrics(font_).ascent()), who.strUserName);
        }
    }
    update(QRect(at, QSize(140, 50)));
}

void GamePane::paintNetBreak(int seat) {
    if (!validSeat(seat) || image_.isNull()) return;
    const QPoint at = PanelLayout(height()).net(slotOf(seat));
    QPainter p(&image_);
    if (table_.s.SeatUsers[static_cast<std::size_t>(seat)].intOffline) {
        p.drawImage(QRect(at, QSize(32, 32)), Builtin("netbreak.png"));
    } else {
        fill(p, QRect(at, QSize(33, 33)));
    }
    update(QRect(at, QSize(33, 33)));
}

void GamePane::paintHandMark(int seat) {
    // The raised hand sits where the colour flag will be once the game runs.
    if (!validSeat(seat) || image_.isNull() || !table_.g.blnNoGame) return;
    const QPoint at = PanelLayout(height()).flag(slotOf(seat));
    QPainter p(&image_);
    const SeatUserItem& who = table_.s.SeatUsers[static_cast<std::size_t>(seat)];
    fill(p, QRect(at, QSize(33, 33)));
    if (who.intHandUp && !who.strUserName.isEmpty()) {
        p.drawImage(QRect(at, QSize(32, 32)), Builtin("hand.png"));
    }
    update(QRect(at, QSize(33, 33)));
}

void GamePane::paintRunFlag(int seat, bool shown) {
    if (!validSeat(seat) || image_.isNull()) return;
    const QPoint at = PanelLayout(height()).flag(slotOf(seat));
    QPainter p(&image_);
    if (shown) {
        const bool mine = seat == table_.s.bteMySeat;
        const bool red = (mine && table_.g.bteRedView == 1) || (!mine && table_.g.bteRedView == 0);
        skins_.beginPass();
        const QImage* flag = skins_.image(red ? QStringLiteral("Res\\UserRunFlag_Red.bmp")
                                              : QStringLiteral("Res\\UserRunFlag_Blk.bmp"));
        if (flag != nullptr) p.drawImage(at, *flag);
    } else {
        fill(p, QRect(at, QSize(33, 33)));
    }
    update(QRect(at, QSize(33, 33)));
}

void GamePane::drawDigits(QPainter& p, const QString& text, int x, int y) {
    bool ok = false;
    if (text.toLong(&ok) < 0 || !ok) return;
    const QImage* digits = skins_.image(QStringLiteral("Res\\number.bmp"));
    if (digits == nullptr) return;
    for (QChar ch : text) {
        const int d = ch.digitValue();
        if (d >= 0 && d < 10) p.drawImage(QPoint(x, y), *digits, QRect(9 * d, 0, 9, 16));
        x += 12;
    }
}

void GamePane::paintClock(int seat, bool bank) {
    if (!validSeat(seat) || image_.isNull()) return;
    const PanelLayout layout(height());
    const int slot = slotOf(seat);
    const QPoint at = bank ? layout.clockA(slot) : layout.clockB(slot);
    SeatUserItem& who = table_.s.SeatUsers[static_cast<std::size_t>(seat)];
    auto& clock = bank ? who.bteTotalUsed : who.bteStepUsed;
    QPainter p(&image_);
    skins_.beginPass();
    int x = at.x();
    for (std::uint8_t& field : clock) {
        fill(p, QRect(QPoint(x - 1, at.y() - 1), QPoint(x + 22, at.y() + 17)));
        if (field >= 100) field = 0;
        const QString text = QStringLiteral("%1").arg(field, 2, 10, QLatin1Char('0'));
        drawDigits(p, text, x, at.y());
        x += 10 * static_cast<int>(text.size()) + 15;
    }
    update(QRect(at - QPoint(1, 1), QSize(x - at.x() + 2, 19)));
}

void GamePane::paintClockA(int seat) {
    paintClock(seat, true);
}
void GamePane::paintClockB(int seat) {
    paintClock(seat, false);
}

void GamePane::paintScoreText() {
    if (image_.isNull()) return;
    const Session& s = table_.s;
    const QString mine = table_.g.bteRedView == 1 ? QStringLiteral("红") : QStringLiteral("黑");
    const QString other = table_.g.bteRedView == 1 ? QStringLiteral("黑") : QStringLiteral("红");
    const int me = s.bteMySeat <= 1 ? s.bteMySeat : 0;
    const QString text =
        mine + u' ' + QString::number(table_.g.lngWinCount[static_cast<std::size_t>(me)]) +
        QStringLiteral(" : ") +
        QString::number(table_.g.lngWinCount[static_cast<std::size_t>(1 - me)]) + u' ' + other;
    const QPoint at = PanelLayout(height()).scoreText();
    QPainter p(&image_);
    p.setFont(font_);
    const int ascent = QFontMetrics(font_).ascent();
    p.setPen(QColor(253, 219, 200));
    p.drawText(at + QPoint(1, 1 + ascent), text);
    p.setPen(Qt::black);
    p.drawText(at + QPoint(0, ascent), text);
    update(QRect(at, QSize(140, 16)));
}

void GamePane::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    if (image_.isNull()) {
        p.fillRect(event->rect(), QColor(8, 73, 165));
        return;
    }
    drawSurfaceArea(p, image_, event->rect());
}

void GamePane::mouseMoveEvent(QMouseEvent*) {
    board_->clearHover();
}

}  // namespace xq

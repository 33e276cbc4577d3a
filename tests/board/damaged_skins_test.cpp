// Skin files cut short or damaged count as missing: the element is left undrawn, the board
// background gets the plain colour. Qt reads such files without an error, padding what is
// missing with noise or grey.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include "../support/table_board_view.h"
#include "board/board_view.h"
#include "game/game_state.h"
#include "look/picture_data.h"
#include "prefs/user_settings.h"
#include "startup/session.h"

namespace xq {
namespace {

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 90);
    return bytes;
}

// A picture with detail everywhere, so that every part of a JPEG carries data.
QImage Busy(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x * 7 % 256, y * 5 % 256, (x * y) % 256));
    return image;
}

// Two bytes in the middle of the coded data turned into a restart marker: the file keeps its
// structure, and the decoder complains and goes on with grey.
QByteArray WithStrayMarker(QByteArray jpeg) {
    jpeg[jpeg.size() / 2] = char(0xFF);
    jpeg[jpeg.size() / 2 + 1] = char(0xD3);
    return jpeg;
}

TEST(PictureData, CutOffBmpAndJpegAreTold) {
    const QByteArray bmp = Encoded(Busy({456, 57}), "BMP");
    const QByteArray jpeg = Encoded(Busy({608, 670}), "JPG");
    QByteArray topDown = bmp;  // rows stored from the top: a negative height
    topDown[22] = char(0xC7);
    topDown[23] = topDown[24] = topDown[25] = char(0xFF);
    const struct {
        const char* what;
        QByteArray data;
        bool bmpComplete, jpegComplete;
    } cases[] = {
        {"whole bmp", bmp, true, true},
        {"bmp with one byte less", bmp.chopped(1), false, true},
        {"half a bmp", bmp.left(bmp.size() / 2), false, true},
        {"bmp headers only", bmp.left(54), false, true},
        {"bmp cut in its headers", bmp.left(30), false, true},
        {"bmp file header only", bmp.left(14), false, true},
        {"top-down bmp", topDown, true, true},
        {"half a top-down bmp", topDown.left(topDown.size() / 2), false, true},
        {"whole jpeg", jpeg, true, true},
        {"jpeg with bytes after its end", jpeg + "trailing", true, true},
        {"half a jpeg", jpeg.left(jpeg.size() / 2), true, false},
        {"jpeg without its end marker", jpeg.chopped(2), true, false},
        {"jpeg cut in its headers", jpeg.left(100), true, false},
        {"jpeg start marker only", jpeg.left(2), true, false},
        {"neither", QByteArray("GIF89a....."), true, true},
        {"empty", QByteArray(), true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bmpDataComplete(c.data), c.bmpComplete) << c.what;
        EXPECT_EQ(jpegDataComplete(c.data), c.jpegComplete) << c.what;
    }
}

TEST(SkinCache, DamagedFilesCountAsMissing) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("Res"));
    const QByteArray bmp = Encoded(Busy({456, 57}), "BMP");
    const QByteArray jpeg = Encoded(Busy({608, 670}), "JPG");
    const struct {
        const char* file;
        QByteArray data;
        bool readable;
    } cases[] = {
        {"whole.bmp", bmp, true},
        {"short.bmp", bmp.left(bmp.size() * 2 / 3), false},
        {"headers.bmp", bmp.left(60), false},
        {"whole.jpg", jpeg, true},
        {"short.jpg", jpeg.left(jpeg.size() / 2), false},
        {"stray.jpg", WithStrayMarker(jpeg), false},
        {"garbage.jpg", QByteArray("\xFF\xD8\xFF\xE0 not really", 16), false},
        {"empty.bmp", QByteArray(), false},
    };
    SkinCache cache;
    cache.setBase(dir.path() + u'/');
    for (const auto& c : cases) {
        QFile file(dir.filePath(QStringLiteral("Res/") + QLatin1String(c.file)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.data);
        file.close();
        EXPECT_EQ(cache.image(QStringLiteral("Res\\") + QLatin1String(c.file)) != nullptr,
                  c.readable)
            << c.file;
    }
}

// A board whose skin folder holds what a case writes into it.
struct SkinnedBoard {
    SkinnedBoard() {
        QDir(dir.path()).mkpath(QStringLiteral("Res"));
        session.strAppPath = dir.path() + u'/';
        view.resize(470, 518);
    }
    void write(const QString& name, const QByteArray& data) {
        QFile file(dir.filePath(QStringLiteral("Res/") + name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    QRect cell(int row, int col) const {
        return {view.geometry().cell(row, col),
                QSize(view.geometry().pieceSize, view.geometry().pieceSize)};
    }
    bool untouched(const QRect& r) const {
        return view.surface().copy(r) == view.cleanSurface().copy(r);
    }

    QTemporaryDir dir;
    Session session;
    GameState game;
    UserSettings settings;
    test::TableBoardView view{session, game, settings};
};

// Red discs on black, the mask black inside the disc.
QImage DiscStrip(QSize size) {
    QImage strip(size, QImage::Format_RGB32);
    strip.fill(Qt::black);
    QPainter p(&strip);
    p.setPen(Qt::NoPen);
    p.fillRect(399, 0, size.width() - 399, size.height(), Qt::white);
    for (int k = 0; k < 8; ++k) {
        p.setBrush(k == 7 ? QColor(Qt::black) : QColor(200, 0, 0));
        p.drawEllipse(57 * k + 4, 4, 49, 49);
    }
    return strip;
}

TEST(DamagedSkins, PiecesOfABrokenOrMisshapenStripAreLeftUndrawn) {
    const QByteArray whole = Encoded(DiscStrip({456, 57}), "BMP");
    const struct {
        const char* what;
        QByteArray strip;
        bool drawn;
    } cases[] = {
        {"whole strip", whole, true},
        {"strip cut short", whole.left(whole.size() / 2), false},
        {"strip cut to its headers", whole.left(60), false},
        {"strip too high", Encoded(DiscStrip({456, 60}), "BMP"), false},
        {"strip too narrow", Encoded(DiscStrip({450, 57}), "BMP"), false},
        {"strip too wide", Encoded(DiscStrip({513, 57}), "BMP"), false},
    };
    for (const auto& c : cases) {
        SkinnedBoard b;
        b.write(QStringLiteral("Big_Qz_1_Red.bmp"), c.strip);
        b.game.bteShowQiPan[9][4] = 0x14;
        b.view.repaintBoard();
        EXPECT_EQ(!b.untouched(b.cell(9, 4)), c.drawn) << c.what;
        // A piece drawn later goes the same way.
        b.view.clearQiZi(9, 4);
        b.view.paintQiZi(9, 4, 0x11);
        EXPECT_EQ(!b.untouched(b.cell(9, 4)), c.drawn) << c.what;
    }
}

TEST(DamagedSkins, ABrokenBackgroundGivesThePlainColourWithAllLines) {
    const QByteArray jpeg = Encoded(Busy({608, 670}), "JPG");
    const struct {
        const char* what;
        QByteArray picture;
        bool shown;
    } cases[] = {
        {"whole picture", jpeg, true},
        {"picture cut short", jpeg.left(jpeg.size() / 2), false},
        {"picture with a damaged block", WithStrayMarker(jpeg), false},
    };
    for (const auto& c : cases) {
        SkinnedBoard b;
        b.write(QStringLiteral("QiPanBack_1.jpg"), c.picture);
        b.view.repaintBoard();
        const BoardGeometry& g = b.view.geometry();
        // Points between the lines, in the upper and the lower half of the picture.
        int plain = 0;
        for (const int row : {0, 3, 6, 8}) {
            const QColor at(b.view.surface().pixel(g.x0 + g.grid / 2, g.y0 + row * g.grid + 7));
            plain += at == plainBoardColour();
        }
        EXPECT_EQ(plain, c.shown ? 0 : 4) << c.what;
        EXPECT_EQ(QColor(b.view.surface().pixel(g.x0 + g.grid / 2, g.y0)), lightLineColour(1))
            << c.what;
    }
}

}  // namespace
}  // namespace xq

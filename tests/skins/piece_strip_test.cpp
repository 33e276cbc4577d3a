// The client draws a piece by ANDing the mask cell onto the board and then ORing the picture
// cell; these tests hold the strips to what makes that come out right.
#include <gtest/gtest.h>

#include <QPainter>
#include <array>

#include "hall_files.h"

namespace {

constexpr int kCell = 57;
constexpr QRgb kBlack = 0xff000000;
constexpr QRgb kWhite = 0xffffffff;

struct Strip {
    int style;
    bool red;
    QString path() const {
        return QStringLiteral("game/Res/Big_Qz_%1_%2.bmp").arg(style).arg(red ? "Red" : "blk");
    }
};

std::vector<Strip> allStrips() {
    std::vector<Strip> out;
    for (int style = 0; style < 4; ++style)
        for (const bool red : {true, false})
            out.push_back({style, red});
    return out;
}

// Share of a strip's piece pixels that are clearly red.
double redShare(const QImage& strip) {
    int red = 0, inside = 0;
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < 7 * kCell; ++x) {
            if (strip.pixel(7 * kCell + x % kCell, y) != kBlack) continue;
            const QColor c = strip.pixelColor(x, y);
            ++inside;
            if (c.red() > 120 && c.red() > 2 * c.green() && c.red() > 2 * c.blue()) ++red;
        }
    return static_cast<double>(red) / inside;
}

TEST(PieceStrips, MaskIsBlackExactlyWherePictureIsNotBlack) {
    for (const Strip& s : allStrips()) {
        SCOPED_TRACE(s.path().toStdString());
        const QImage strip = hallImage(s.path());
        ASSERT_EQ(strip.size(), QSize(8 * kCell, kCell));
        int inside = 0;
        for (int kind = 0; kind < 7; ++kind) {
            for (int y = 0; y < kCell; ++y) {
                for (int x = 0; x < kCell; ++x) {
                    const QRgb mask = strip.pixel(7 * kCell + x, y);
                    const QRgb picture = strip.pixel(kind * kCell + x, y);
                    ASSERT_TRUE(mask == kBlack || mask == kWhite)
                        << "mask not pure at " << x << "," << y;
                    ASSERT_EQ(mask == kBlack, picture != kBlack)
                        << "kind " << kind + 1 << " at " << x << "," << y;
                    inside += mask == kBlack;
                }
            }
        }
        // A real round piece, not a sliver and not the whole cell.
        const double area = inside / 7.0 / (kCell * kCell);
        EXPECT_GT(area, 0.60);
        EXPECT_LT(area, 0.85);
    }
}

TEST(PieceStrips, AndOrDrawingShowsBoardOutsideAndPieceInside) {
    QImage board(kCell, kCell, QImage::Format_RGB32);
    board.fill(QColor(214, 160, 90));
    for (const Strip& s : allStrips()) {
        SCOPED_TRACE(s.path().toStdString());
        const QImage strip = hallImage(s.path());
        QImage target = board;
        QPainter p(&target);
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        p.drawImage(0, 0, strip, 7 * kCell, 0, kCell, kCell);
        p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        p.drawImage(0, 0, strip, 0, 0, kCell, kCell);
        p.end();
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x) {
                const bool in = strip.pixel(7 * kCell + x, y) == kBlack;
                ASSERT_EQ(target.pixel(x, y), in ? strip.pixel(x, y) : board.pixel(x, y))
                    << x << "," << y;
            }
    }
}

TEST(PieceStrips, RedAndBlackAreToldApart) {
    for (int style = 0; style < 4; ++style) {
        SCOPED_TRACE(style);
        const double red = redShare(hallImage(Strip{style, true}.path()));
        const double black = redShare(hallImage(Strip{style, false}.path()));
        EXPECT_GT(red, 0.08);
        EXPECT_LT(black, 0.01);
    }
}

TEST(PieceStrips, KindsAndStylesAllLookDifferent) {
    std::vector<QImage> cells;
    for (const Strip& s : allStrips()) {
        const QImage strip = hallImage(s.path());
        for (int kind = 0; kind < 7; ++kind)
            cells.push_back(strip.copy(kind * kCell, 0, kCell, kCell));
    }
    for (std::size_t i = 0; i < cells.size(); ++i)
        for (std::size_t j = i + 1; j < cells.size(); ++j)
            EXPECT_NE(cells[i], cells[j]) << i << " " << j;
}

}  // namespace

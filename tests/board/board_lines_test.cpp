// The board's lines, border, piece cells and file numbers measured pixel by pixel at several
// sizes and at device pixel ratios 1 and 2, against the geometry the board is defined by.
#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>

#include "board/board_painter.h"
#include "board/surface_image.h"
#include "look/ui_font.h"

// Colours in failure messages as #rrggbb.
inline void PrintTo(const QColor& c, std::ostream* os) {
    *os << (c.isValid() ? c.name().toStdString() : std::string("(mixed device pixels)"));
}

namespace xq {
namespace {

struct Size {
    int w, h;
};
// The replay window's board, and boards of the main window at a small and a large screen.
constexpr Size kSizes[] = {{379, 418}, {548, 604}, {900, 991}};
constexpr qreal kRatios[] = {1.0, 2.0};

// The board's geometry written out afresh, apart from the code under test.
struct Expected {
    explicit Expected(Size size)
        : s(static_cast<int>(std::nearbyint((size.w - 20) / 9.0 + 0.5))),
          x0(s / 2 + 10),
          y0((size.h - 9 * s) / 2) {}
    int s, x0, y0;
};

// A board drawn on the plain background (no skin files), at a device pixel ratio.
struct DrawnBoard {
    DrawnBoard(Size size, qreal dpr, int style = 1,
               const QString& base = QStringLiteral("/nonexistent/"))
        : surface(surfaceImage({size.w, size.h}, dpr)) {
        skins.setBase(base);
        geometry = painter.paintBoard(surface, style, 1, paneFont());
    }
    // The colour of a logical pixel; invalid when its device pixels differ (a line that does
    // not sit on whole logical pixels).
    QColor at(int x, int y) const {
        const int r = qRound(surface.devicePixelRatio());
        const QRgb first = surface.pixel(x * r, y * r);
        for (int dy = 0; dy < r; ++dy)
            for (int dx = 0; dx < r; ++dx)
                if (surface.pixel(x * r + dx, y * r + dy) != first) return {};
        return QColor(first);
    }

    SkinCache skins;
    BoardPainter painter{skins};
    QImage surface;
    BoardGeometry geometry{0, 0};
};

TEST(BoardLines, GridOriginAndStepFollowTheFormulas) {
    const QColor light = lightLineColour(1), dark = darkLineColour(1), plain = plainBoardColour();
    for (const Size size : kSizes) {
        for (const qreal dpr : kRatios) {
            SCOPED_TRACE(testing::Message() << size.w << "x" << size.h << " @" << dpr);
            const Expected e(size);
            const DrawnBoard b(size, dpr);
            ASSERT_EQ(b.geometry.grid, e.s);
            EXPECT_EQ(b.geometry.x0, e.x0);
            EXPECT_EQ(b.geometry.y0, e.y0);
            for (int r = 0; r < 10; ++r) {
                for (int c = 0; c < 8; ++c) {
                    const int x = e.x0 + c * e.s + e.s / 2, y = e.y0 + r * e.s;
                    EXPECT_EQ(b.at(x, y), light) << "rank " << r << " file " << c;
                    EXPECT_EQ(b.at(x, y - 1), dark) << "rank " << r << " file " << c;
                    EXPECT_EQ(b.at(x, y + 1), plain) << "rank " << r << " file " << c;
                }
            }
            for (int c = 0; c < 9; ++c) {
                const bool through = c == 0 || c == 8;
                for (int r = 0; r < 9; ++r) {
                    const int x = e.x0 + c * e.s, y = e.y0 + r * e.s + e.s / 2;
                    const bool open = r == 4 && !through;
                    EXPECT_EQ(b.at(x, y), open ? plain : light) << "file " << c << " rank " << r;
                    EXPECT_EQ(b.at(x - 1, y), open ? plain : dark) << "file " << c << " rank " << r;
                    EXPECT_EQ(b.at(x + 1, y), plain) << "file " << c << " rank " << r;
                }
            }
        }
    }
}

TEST(BoardLines, TripleBorderOnItsPixelsOnAllFourSides) {
    const QColor dark = darkLineColour(2), plain = plainBoardColour();
    for (const Size size : kSizes) {
        for (const qreal dpr : kRatios) {
            SCOPED_TRACE(testing::Message() << size.w << "x" << size.h << " @" << dpr);
            const Expected e(size);
            const DrawnBoard b(size, dpr, 2);
            for (int k = 0; k < 3; ++k) {
                const int left = e.x0 - 7 + k, top = e.y0 - 7 + k;
                const int right = e.x0 + 8 * e.s + 5 - k, bottom = e.y0 + 9 * e.s + 5 - k;
                for (int x = left; x <= right; ++x) {
                    ASSERT_EQ(b.at(x, top), dark) << "top " << k << " x " << x;
                    ASSERT_EQ(b.at(x, bottom), dark) << "bottom " << k << " x " << x;
                }
                for (int y = top; y <= bottom; ++y) {
                    ASSERT_EQ(b.at(left, y), dark) << "left " << k << " y " << y;
                    ASSERT_EQ(b.at(right, y), dark) << "right " << k << " y " << y;
                }
            }
            // Plain board on both sides of the border, half-way along each edge.
            const int midX = e.x0 + 4 * e.s + e.s / 2, midY = e.y0 + 4 * e.s + e.s / 2;
            const int right = e.x0 + 8 * e.s + 5, bottom = e.y0 + 9 * e.s + 5;
            EXPECT_EQ(b.at(e.x0 - 8, midY), plain);
            EXPECT_EQ(b.at(e.x0 - 4, midY), plain);
            EXPECT_EQ(b.at(right + 1, midY), plain);
            EXPECT_EQ(b.at(right - 3, midY), plain);
            EXPECT_EQ(b.at(midX, e.y0 - 8), plain);
            EXPECT_EQ(b.at(midX, e.y0 - 4), plain);
            EXPECT_EQ(b.at(midX, bottom + 1), plain);
            EXPECT_EQ(b.at(midX, bottom - 3), plain);
        }
    }
}

TEST(BoardLines, AtRatioTwoEveryLineCoversTheSameLogicalPixels) {
    // Border, grid, palaces and point marks: each logical pixel of the board at ratio 2 is the
    // pixel of the board at ratio 1 (the file numbers outside the border are left aside, as text
    // is drawn afresh at each resolution).
    for (const Size size : kSizes) {
        SCOPED_TRACE(testing::Message() << size.w << "x" << size.h);
        const Expected e(size);
        const DrawnBoard one(size, 1.0), two(size, 2.0);
        int differing = 0;
        for (int y = e.y0 - 7; y <= e.y0 + 9 * e.s + 5; ++y) {
            for (int x = 0; x < size.w; ++x) {
                if (two.at(x, y) != one.at(x, y) && ++differing <= 3)
                    ADD_FAILURE() << "at " << x << "," << y;
            }
        }
        EXPECT_EQ(differing, 0);
    }
}

TEST(BoardLines, PiecesFillTheirCellsCentredOnTheDarkCrossings) {
    // A strip of solid square pieces: what is drawn shows the cell exactly.
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("Res"));
    QImage strip(456, 57, QImage::Format_RGB32);
    strip.fill(QColor(0, 0, 255));
    QPainter(&strip).fillRect(399, 0, 57, 57, Qt::black);
    ASSERT_TRUE(strip.save(dir.filePath(QStringLiteral("Res/Big_Qz_1_Red.bmp")), "BMP"));
    for (const Size size : kSizes) {
        for (const qreal dpr : kRatios) {
            SCOPED_TRACE(testing::Message() << size.w << "x" << size.h << " @" << dpr);
            const Expected e(size);
            const int side = e.s - 4;
            for (const QPoint point : {QPoint(0, 0), QPoint(9, 8), QPoint(4, 4), QPoint(6, 1)}) {
                const int row = point.x(), col = point.y();
                DrawnBoard b(size, dpr, 1, dir.path() + u'/');
                const QPoint corner(11 + col * e.s,
                                    (size.h - 9 * e.s) / 2 - 1 - e.s / 2 + row * e.s + 2);
                EXPECT_EQ(b.geometry.cell(row, col), corner) << row << "," << col;
                b.painter.paintPiece(b.surface, 0x11, 1,
                                     QRect(b.geometry.cell(row, col), QSize(side, side)));
                QRect drawn;
                for (int y = 0; y < b.surface.height(); ++y)
                    for (int x = 0; x < b.surface.width(); ++x)
                        if (b.surface.pixel(x, y) == qRgb(0, 0, 255)) drawn |= QRect(x, y, 1, 1);
                EXPECT_EQ(drawn, QRect(corner * dpr, QSize(side, side) * dpr)) << row << "," << col;
                // Its centre lies within a pixel of the crossing of the dark lines.
                const QPoint crossing(e.x0 - 1 + col * e.s, e.y0 - 1 + row * e.s);
                EXPECT_LE(std::abs(2 * corner.x() + side - 1 - 2 * crossing.x()), 2);
                EXPECT_LE(std::abs(2 * corner.y() + side - 1 - 2 * crossing.y()), 2);
            }
        }
    }
}

TEST(BoardLines, FileNumbersStartAtTheirCorners) {
    const QColor plain = plainBoardColour();
    for (const Size size : kSizes) {
        SCOPED_TRACE(testing::Message() << size.w << "x" << size.h);
        const Expected e(size);
        const DrawnBoard b(size, 1.0);
        const int lineHeight = QFontMetrics(paneFont()).height();
        for (const int rowTop : {e.y0 - 21, e.y0 + 9 * e.s + 7}) {
            for (int a = 1; a <= 9; ++a) {
                const int left = e.x0 - 3 + (a - 1) * e.s;
                // The ink of one number: dark pixels in the slot right of and below its corner.
                QRect ink;
                for (int y = rowTop - 4; y < rowTop + lineHeight + 4; ++y)
                    for (int x = left - 4; x < std::min(left + e.s - 8, size.w); ++x)
                        if (b.at(x, y) != plain && (y < e.y0 - 7 || y > e.y0 + 9 * e.s + 5))
                            ink |= QRect(x, y, 1, 1);
                ASSERT_FALSE(ink.isEmpty()) << "number " << a << " at " << rowTop;
                EXPECT_GE(ink.left(), left) << a;
                EXPECT_GE(ink.top(), rowTop) << a;
                EXPECT_LE(ink.left(), left + 4) << a;
                EXPECT_LT(ink.bottom(), rowTop + lineHeight) << a;
            }
        }
    }
}

}  // namespace
}  // namespace xq

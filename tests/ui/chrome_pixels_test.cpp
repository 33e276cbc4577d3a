// The chrome's outlines on their exact pixels: the control panel's border and the frame with its
// shadow around the move list, and the main window's three-line border, at a device pixel ratio
// of 1 and (run with QT_SCALE_FACTOR=2) of 2, where every logical pixel is four of the screen's.

#include <gtest/gtest.h>

#include <QApplication>

#include "board/surface_image.h"
#include "ui/control_panel.h"
#include "window_fixture.h"

namespace xq {
namespace {

// The colour of a logical pixel of a surface, or an invalid colour when its device pixels (at a
// device pixel ratio of 2, four of them) do not all have one colour.
QColor LogicalPixel(const QImage& surface, int x, int y) {
    const QRect device = deviceRect(surface, QRect(x, y, 1, 1));
    const QColor first = surface.pixelColor(device.topLeft());
    for (int dy = device.top(); dy <= device.bottom(); ++dy) {
        for (int dx = device.left(); dx <= device.right(); ++dx) {
            if (surface.pixelColor(dx, dy) != first) return {};
        }
    }
    return first;
}

struct PixelCase {
    const char* where;
    int x, y;
    QColor colour;
};

void ExpectPixels(const QImage& surface, const std::vector<PixelCase>& cases) {
    for (const PixelCase& c : cases) {
        const QColor seen = LogicalPixel(surface, c.x, c.y);
        EXPECT_EQ(seen, c.colour) << c.where << " (" << c.x << ", " << c.y
                                  << "): " << seen.name().toStdString() << " instead of "
                                  << c.colour.name().toStdString();
    }
}

// The border of the panel and the frame with its shadow around the move list, at whatever
// device pixel ratio the test runs.
void ExpectPanelFramePixels(ControlPanel& panel) {
    panel.paintPanel();
    const QImage& surface = panel.surface();
    const QRect list = panel.moveList().geometry();
    const int l = list.left(), t = list.top(), lw = list.width(), lh = list.height();
    const int w = panel.width(), h = panel.height();
    ASSERT_GT(lw, 20);
    ASSERT_GT(lh, 20);
    const QColor blue(0, 0, 255), grey(192, 192, 192), outline(200, 250, 250),
        shadow(100, 100, 100), back(223, 139, 211);
    ExpectPixels(surface, {
                              {"border, outer", 0, 0, blue},
                              {"border, outer", w - 1, h - 1, blue},
                              {"border, outer", w - 1, h / 2, blue},
                              {"border, middle", 1, 1, grey},
                              {"border, middle", w - 2, h - 2, grey},
                              {"border, middle", w / 2, h - 2, grey},
                              {"border, inner", 2, 2, blue},
                              {"border, inner", w - 3, h - 3, blue},
                              {"inside the border", w - 4, h - 4, back},
                              {"outline, top left", l - 1, t - 1, outline},
                              {"outline, top right", l + lw, t - 1, outline},
                              {"outline, bottom left", l - 1, t + lh, outline},
                              {"outline, bottom right", l + lw, t + lh, outline},
                              {"outline, top", l + lw / 2, t - 1, outline},
                              {"outline, left", l - 1, t + lh / 2, outline},
                              {"outline, right", l + lw, t + lh / 2, outline},
                              {"outline, bottom", l + lw / 2, t + lh, outline},
                              {"above the outline", l + lw / 2, t - 2, back},
                              {"left of the outline", l - 2, t + lh / 2, back},
                              {"shadow, right", l + lw + 1, t + lh / 2, shadow},
                              {"shadow, right", l + lw + 2, t + lh / 2, shadow},
                              {"shadow, below", l + lw / 2, t + lh + 1, shadow},
                              {"shadow, below", l + lw / 2, t + lh + 2, shadow},
                              {"shadow, corner", l + lw + 1, t + lh + 1, shadow},
                              {"shadow, corner", l + lw + 2, t + lh + 2, shadow},
                              {"shadow starts lower", l + lw + 1, t, back},
                              {"shadow starts lower", l + lw + 2, t + 1, back},
                              {"shadow starts lower", l + lw + 1, t + 1, shadow},
                              {"shadow starts further in", l, t + lh + 1, back},
                              {"shadow starts further in", l + 1, t + lh + 2, back},
                              {"shadow starts further in", l + 1, t + lh + 1, shadow},
                              {"beyond the shadow", l + lw + 3, t + lh / 2, back},
                              {"beyond the shadow", l + lw / 2, t + lh + 3, back},
                          });
}

TEST(ControlPanel, TheMoveListFrameAndTheBorderLieOnTheirPixels) {
    WindowFixture f(QStringLiteral(XQ_TEST_GAME_DIR));
    f.window->resize(1600, 900);
    f.window->show();
    f.window->layOutPanes();
    ExpectPanelFramePixels(f.window->controlPanel());
}

TEST(HiDpi, TheControlPanelFrameCoversWholeLogicalPixels) {
    WindowFixture f(QStringLiteral(XQ_TEST_GAME_DIR));
    f.window->resize(1366, 736);
    f.window->show();
    f.window->layOutPanes();
    if (f.window->devicePixelRatioF() < 2) GTEST_SKIP() << "needs QT_SCALE_FACTOR=2";
    ExpectPanelFramePixels(f.window->controlPanel());
}

void ExpectWindowBorderPixels(MainWindow& window) {
    const QImage shot = window.grab().toImage();
    const int sw = window.width(), sh = window.height();
    const QColor green(0, 255, 0), dark(80, 80, 80), grey(192, 192, 192);
    ExpectPixels(shot, {
                           {"outer, top left", 0, 0, green},
                           {"outer, bottom right", sw - 1, sh - 1, green},
                           {"outer, right", sw - 1, sh / 2, green},
                           {"outer, bottom", sw / 2, sh - 1, green},
                           {"middle, top left", 1, 1, dark},
                           {"middle, bottom right", sw - 2, sh - 2, dark},
                           {"middle, left", 1, sh / 2, dark},
                           {"inner, top left", 2, 2, grey},
                           {"inner, bottom right", sw - 3, sh - 3, grey},
                           {"inner, bottom", sw / 2, sh - 3, grey},
                       });
}

TEST(WindowBorder, ThreeOutlinesOnTheirPixels) {
    WindowFixture f(QStringLiteral(XQ_TEST_GAME_DIR));
    f.window->resize(1200, 800);
    f.window->show();
    ExpectWindowBorderPixels(*f.window);
}

TEST(HiDpi, TheWindowBorderCoversWholeLogicalPixels) {
    WindowFixture f(QStringLiteral(XQ_TEST_GAME_DIR));
    f.window->resize(1200, 700);
    f.window->show();
    if (f.window->devicePixelRatioF() < 2) GTEST_SKIP() << "needs QT_SCALE_FACTOR=2";
    ExpectWindowBorderPixels(*f.window);
}

}  // namespace
}  // namespace xq

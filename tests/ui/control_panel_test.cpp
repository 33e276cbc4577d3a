// The command buttons of the control panel as a player uses them: real mouse and touch events on
// the shown window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QPointingDevice>
#include <QScreen>
#include <QTest>
#include <functional>

#include "../support/bytes.h"
#include "net/table_requests.h"
#include "ui/control_panel.h"
#include "ui/player_panels.h"
#include "window_fixture.h"

namespace xq {
namespace {

using xq::test::Text;

// The table waits for players again: Start is enabled.
void TableWaits(Table& table) {
    table.DoRoomMsg(Text({111, 0}, QStringLiteral("1`0`0`0`0")));
}

QPointingDevice* TouchScreen() {
    static QPointingDevice* device = QTest::createTouchDevice();
    return device;
}

TEST(ControlPanel, EveryClickOnAnEnabledButtonActsWithoutAMoveInBetween) {
    const struct {
        const char* how;
        std::function<void(QWidget*, QPoint)> click;
    } ways[] = {
        {"mouse click",
         [](QWidget* w, QPoint at) { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at); }},
        {"press, then release",
         [](QWidget* w, QPoint at) {
             QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, at);
             QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, at);
         }},
        {"tap",
         [](QWidget* w, QPoint at) {
             QTest::touchEvent(w, TouchScreen()).press(0, at, w);
             QTest::touchEvent(w, TouchScreen()).release(0, at, w);
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        WindowFixture f;
        // On the screen: a touch finds its window by where it lands on the screen.
        f.window->setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
        f.window->show();
        f.window->layOutPanes();
        ControlPanel& panel = f.window->controlPanel();
        const QPoint onStart(40, optButtonTop(panel.height(), 0) + 10);
        auto& states = f.state.game.bteOptButState;

        TableWaits(f.window->table());
        way.click(&panel, onStart);
        ASSERT_EQ(f.sent.size(), 1u) << "the first click acts";
        EXPECT_EQ(f.sent[0], tablemsg::encode(tablemsg::HandUp{"红方"}));
        EXPECT_EQ(states[kBtnStart], kButtonDisabled);

        // Enabled again, the button takes a second click in the same place.
        TableWaits(f.window->table());
        way.click(&panel, onStart);
        ASSERT_EQ(f.sent.size(), 2u) << "the second click acts too";
        EXPECT_EQ(f.sent[1], tablemsg::encode(tablemsg::HandUp{"红方"}));

        // A disabled button neither acts nor changes its look.
        ASSERT_EQ(states[kBtnStart], kButtonDisabled);
        way.click(&panel, onStart);
        EXPECT_EQ(f.sent.size(), 2u);
        EXPECT_EQ(states[kBtnStart], kButtonDisabled);
    }
}

TEST(ControlPanel, HoverFollowsThePointerAndAPressOverAButton) {
    WindowFixture f;
    f.window->resize(1600, 900);
    f.window->show();
    f.window->layOutPanes();
    TableWaits(f.window->table());
    ControlPanel& panel = f.window->controlPanel();
    auto& states = f.state.game.bteOptButState;
    const auto at = [&](int button) {
        return QPoint(40, optButtonTop(panel.height(), button) + 10);
    };
    // Moves go the way the system delivers them, to the window.
    const auto moveTo = [&](QPoint p) {
        QTest::mouseMove(f.window->windowHandle(), panel.mapTo(f.window.get(), p));
    };

    // Straight from one button onto another: exactly one is hot; off the buttons, none.
    moveTo(QPoint(5, 5));
    moveTo(at(kBtnStart));
    EXPECT_EQ(states[kBtnStart], kButtonHover);
    moveTo(at(kBtnReplay));
    EXPECT_EQ(states[kBtnStart], kButtonNormal);
    EXPECT_EQ(states[kBtnReplay], kButtonHover);
    moveTo(QPoint(5, 5));
    EXPECT_EQ(states[kBtnReplay], kButtonNormal);
    ASSERT_EQ(states[kBtnDraw], kButtonDisabled);
    moveTo(at(kBtnDraw));
    EXPECT_EQ(states[kBtnDraw], kButtonDisabled) << "a disabled button never becomes hot";

    // A press shows the button hot before it is released; a disabled one stays disabled.
    QTest::mousePress(&panel, Qt::LeftButton, Qt::NoModifier, at(kBtnStart));
    EXPECT_EQ(states[kBtnStart], kButtonHover);
    QTest::mouseRelease(&panel, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_TRUE(f.sent.empty()) << "released away from the button";
    QTest::mousePress(&panel, Qt::LeftButton, Qt::NoModifier, at(kBtnDraw));
    EXPECT_EQ(states[kBtnDraw], kButtonDisabled);
    // The right button does not act.
    QTest::mouseClick(&panel, Qt::RightButton, Qt::NoModifier, at(kBtnStart));
    EXPECT_TRUE(f.sent.empty());
}

}  // namespace
}  // namespace xq

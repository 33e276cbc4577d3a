#include <gtest/gtest.h>

#include "ui/frame_zones.h"
#include "ui/window_layout.h"

namespace xq {
namespace {

// The window a table client gets on a screen: as wide as the screen, 32 pixels less high.
QSize ClientFor(QSize screen) {
    return QSize(screen.width(), screen.height() - 32);
}

TEST(startSplits, ThreeQuartersWhereTheRightPaneHasRoomElseRoomForIt) {
    const struct {
        QSize screen;
        int left;
    } cases[] = {
        {{1024, 768}, 644},  {{1280, 800}, 900},   {{1366, 768}, 986},   {{1440, 900}, 1060},
        {{1600, 900}, 1200}, {{1920, 1080}, 1440}, {{2560, 1440}, 1920}, {{640, 480}, 260},
    };
    for (const auto& c : cases) {
        const SplitState s = startSplits(c.screen);
        EXPECT_EQ(s.vSplitLeft, c.left) << c.screen.width();
        EXPECT_EQ(s.vSplitSaved, c.left);
        EXPECT_FALSE(s.collapsed);
        EXPECT_EQ(s.optSplitTop, 270);
        EXPECT_EQ(s.chatSplitTop, 270 + (c.screen.height() - 270) / 3);
        SplitState laid = s;
        const MainLayout l = layOutMainWindow(ClientFor(c.screen), laid);
        EXPECT_TRUE(l.rightPane) << c.screen.width();
        EXPECT_GE(l.controlPanel->width(), std::min(kStartRightPane, c.screen.width() * 1 / 4 - 20))
            << c.screen.width();
        EXPECT_GE(l.gamePane.width(), 194) << c.screen.width();
    }
}

TEST(layOutMainWindow, PanesByTheRules) {
    SplitState s = startSplits({1600, 900});
    const MainLayout l = layOutMainWindow({1600, 868}, s);
    EXPECT_EQ(l.splitter, QRect(1200, 27, 12, 836));
    EXPECT_EQ(l.gamePane, QRect(5, 27, 1194, 836));
    ASSERT_TRUE(l.rightPane);
    const int x = 1214, r = 1600 - 1200 - 12 - 2 - 6;
    EXPECT_EQ(l.userButtons, QRect(x, 27, r, 33));
    EXPECT_EQ(l.controlPanel, QRect(x, 60, r, 210));
    EXPECT_EQ(l.optBar, QRect(x, 270, r, 5));
    EXPECT_EQ(l.userList, QRect(x, 275, r, s.chatSplitTop - 275));
    EXPECT_EQ(l.chatBar, QRect(x, s.chatSplitTop, r, 5));
    EXPECT_EQ(l.chat, QRect(x, s.chatSplitTop + 5, r, 868 - 4 - s.chatSplitTop - 5 - 2));
}

TEST(layOutMainWindow, TheSplitterKeepsItsShareWithinBothLimits) {
    const struct {
        int width;
        int storedLeft;  // set in a window 1600 wide
        int shownLeft;
    } cases[] = {
        {1600, 1200, 1200},  // as stored
        {800, 1200, 600},    // the same share of a smaller window
        {2400, 1200, 1800},  // and of a larger one
        {900, 1500, 760},    // the right pane keeps 140
        {640, 1580, 500},    // also at the smallest window
        {640, 210, 200},     // the game pane keeps 200
        {3000, 190, 356},    // a place below the limit is its share all the same
    };
    for (const auto& c : cases) {
        SplitState s = startSplits({1600, 900});
        s.vSplitLeft = c.storedLeft;
        const MainLayout l = layOutMainWindow({c.width, 700}, s);
        EXPECT_EQ(l.splitter.x(), c.shownLeft) << c.width;
        EXPECT_EQ(shownSplitLeft(c.width, s), c.shownLeft) << c.width;
        EXPECT_TRUE(l.rightPane) << c.width;
        EXPECT_GE(l.controlPanel->width(), 120) << c.width;
        EXPECT_EQ(l.gamePane.width(), c.shownLeft - 6) << c.width;
        EXPECT_EQ(s.vSplitLeft, c.storedLeft) << "the stored place is kept";
    }
}

TEST(layOutMainWindow, TheBarsKeepTheControlPanelAndShareTheRest) {
    const struct {
        int height;
        int opt, chat;  // shown
    } cases[] = {
        {868, 270, 480},  // as set
        {668, 270, 410},  // list and chat keep their shares below the control panel
        {480, 270, 370},  // the list keeps 100 from the upper bar
        {440, 240, 340},  // both bars move up, 100 apart and from the bottom
        {1268, 270, 620},
    };
    for (const auto& c : cases) {
        SplitState s = startSplits({1600, 900});  // 270 and 480 in a window 868 high
        const BarTops bars = shownBars(c.height, s);
        EXPECT_EQ(bars.opt, c.opt) << c.height;
        EXPECT_EQ(bars.chat, c.chat) << c.height;
        const MainLayout l = layOutMainWindow({1600, c.height}, s);
        EXPECT_EQ(l.optBar.y(), c.opt);
        EXPECT_EQ(l.chatBar.y(), c.chat);
        ASSERT_TRUE(l.chat.has_value()) << c.height;
        EXPECT_GE(l.chat->height(), 89) << c.height;
        EXPECT_EQ(l.chat->bottom(), c.height - 7) << c.height;
    }
    // A bar dropped in a resized window stays where it is seen, and so does the other one.
    SplitState s = startSplits({1600, 900});
    placeOptBar(s, 200, 668);
    EXPECT_EQ(shownBars(668, s).opt, 200);
    EXPECT_EQ(shownBars(668, s).chat, 410);
    placeChatBar(s, 500, 668);
    EXPECT_EQ(shownBars(668, s).opt, 200);
    EXPECT_EQ(shownBars(668, s).chat, 500);
}

TEST(VerticalSplitter, CollapseRestoresAndLimits) {
    SplitState s = startSplits({1600, 900});
    s.vSplitLeft = 900;
    toggleCollapse(s, 1600);
    EXPECT_TRUE(s.collapsed);
    EXPECT_EQ(s.vSplitLeft, 1586);
    EXPECT_FALSE(layOutMainWindow({1600, 868}, s).rightPane);
    toggleCollapse(s, 1600);
    EXPECT_FALSE(s.collapsed);
    EXPECT_EQ(s.vSplitLeft, 900) << "two clicks return the splitter where it was";

    const struct {
        int x;
        bool ghostMoves;
        int dropped;
    } drags[] = {{199, false, 200},  {200, true, 200},    {800, true, 800},
                 {1460, true, 1460}, {1461, false, 1460}, {-50, false, 200}};
    for (const auto& d : drags) {
        EXPECT_EQ(ghostMayMove(d.x, 1600), d.ghostMoves) << d.x;
        EXPECT_EQ(dropVSplit(d.x, 1600), d.dropped) << d.x;
    }

    const struct {
        int y;
        int height;
        bool collapses;
    } presses[] = {{388, 836, false}, {389, 836, true},  {418, 836, true},
                   {447, 836, true},  {448, 836, false}, {10, 836, false}};
    for (const auto& p : presses)
        EXPECT_EQ(pressCollapses(p.y, p.height), p.collapses) << p.y;
    EXPECT_EQ(middleZone(836).first, 388);
    EXPECT_EQ(middleZone(836).last, 448);
}

TEST(HorizontalBars, DropsKeepAHundredPixels) {
    const struct {
        int y;
        int opt;
        int chat;
    } cases[] = {{40, 100, 370},  {100, 100, 370}, {250, 250, 370},
                 {400, 400, 400}, {401, 400, 401}, {800, 400, 768}};
    for (const auto& c : cases) {
        EXPECT_EQ(dropOptSplit(c.y, 500), c.opt) << c.y;
        EXPECT_EQ(dropChatSplit(c.y, 270, 868), c.chat) << c.y;
    }
}

TEST(BoardRect, KeepsTheAspectCentredRightOfThePanels) {
    const struct {
        QSize pane;
        QRect board;
    } cases[] = {
        {{778, 700}, QRect(150 + (608 - 598) / 2, 20, 598, 660)},  // height decides
        {{778, 680}, QRect(150 + (608 - 580) / 2, 20, 580, 640)},  // 20 shorter: same rule
        {{500, 900}, QRect(150, 20 + (860 - 363) / 2, 330, 363)},  // width decides
        {{100, 100}, QRect(150, 88, 0, 0)},                        // no room: nothing negative
    };
    for (const auto& c : cases)
        EXPECT_EQ(BoardRect(c.pane), c.board) << c.pane.width() << "x" << c.pane.height();
}

TEST(FrameZones, StrictPixelBoundaries) {
    const QRect w(100, 50, 800, 600);  // right 900, bottom 650
    const struct {
        QPoint at;
        bool overButton;
        FrameZone zone;
    } cases[] = {
        {{104, 54}, false, FrameZone::LeftUp},  {{105, 54}, false, FrameZone::Up},
        {{104, 55}, false, FrameZone::Left},    {{896, 646}, false, FrameZone::RightDown},
        {{895, 646}, false, FrameZone::Down},   {{896, 645}, false, FrameZone::Right},
        {{896, 54}, false, FrameZone::RightUp}, {{104, 646}, false, FrameZone::LeftDown},
        {{500, 54}, false, FrameZone::Up},      {{500, 55}, false, FrameZone::None},
        {{500, 56}, false, FrameZone::Move},    {{500, 76}, false, FrameZone::Move},
        {{500, 77}, false, FrameZone::None},    {{500, 60}, true, FrameZone::None},
        {{500, 646}, false, FrameZone::Down},   {{500, 645}, false, FrameZone::None},
        {{20, 300}, false, FrameZone::Left},  // the tests do not ask whether the pointer is inside
    };
    for (const auto& c : cases) {
        EXPECT_EQ(classifyFrameZone(w, c.at, c.overButton), c.zone)
            << c.at.x() << "," << c.at.y() << " over button " << c.overButton;
    }
    EXPECT_EQ(zoneEdges(FrameZone::LeftDown), Qt::LeftEdge | Qt::BottomEdge);
    EXPECT_EQ(zoneEdges(FrameZone::Move), Qt::Edges());
    EXPECT_EQ(zoneCursor(FrameZone::RightUp), Qt::SizeBDiagCursor);
    EXPECT_EQ(zoneCursor(FrameZone::RightDown), Qt::SizeFDiagCursor);
    EXPECT_EQ(zoneCursor(FrameZone::Move), Qt::ArrowCursor);
}

TEST(FrameZones, SystemButtonsAreHitStrictlyInside) {
    // Width 800: slots at x 727, 747, 767, y 3, each 20 x 23.
    const struct {
        QPoint at;
        int slot;
    } cases[] = {{{727, 10}, -1}, {{728, 10}, 0}, {{746, 10}, 0},  {{747, 10}, -1}, {{748, 4}, 1},
                 {{748, 3}, -1},  {{786, 25}, 2}, {{786, 26}, -1}, {{787, 10}, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(HitSysButton(800, c.at), c.slot) << c.at.x() << "," << c.at.y();
}

TEST(FrameZones, DraggedByHandHoldsTheMinimum) {
    const QRect start(100, 100, 800, 600);
    const QSize minimum(640, 480);
    const struct {
        FrameZone zone;
        QPoint delta;
        QRect result;
    } cases[] = {
        {FrameZone::Move, {30, -20}, QRect(130, 80, 800, 600)},
        {FrameZone::Right, {50, 50}, QRect(100, 100, 850, 600)},
        {FrameZone::Left, {-40, 0}, QRect(60, 100, 840, 600)},
        {FrameZone::Left, {300, 0}, QRect(260, 100, 640, 600)},  // the right edge stays
        {FrameZone::Down, {0, -500}, QRect(100, 100, 800, 480)},
        {FrameZone::LeftUp, {10, 20}, QRect(110, 120, 790, 580)},
        {FrameZone::RightDown, {-400, -400}, QRect(100, 100, 640, 480)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(draggedGeometry(start, c.zone, c.delta, minimum), c.result)
            << static_cast<int>(c.zone);
}

}  // namespace
}  // namespace xq

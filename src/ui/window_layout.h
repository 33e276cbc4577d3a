#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

namespace xq {

// The table window's layout as numbers: where the splitters stand, where every pane goes for a
// client size, and how a dragged splitter is held within its limits. No widgets here.

inline constexpr int kCaptionHeight = 27;
inline constexpr int kSplitterWidth = 12;
inline constexpr int kBarHeight = 5;    // both horizontal bars
inline constexpr int kVSplitMin = 200;  // the game pane keeps at least this much
inline constexpr int kVSplitFromRight = 140;
inline constexpr int kBarDistance = 100;  // between the bars, the top and the bottom
inline constexpr int kMiddleZone = 60;    // the collapse band in the splitter's middle
inline constexpr int kMinWindowWidth = 640;
inline constexpr int kMinWindowHeight = 480;
// The right pane's width that the start value keeps on narrow screens: the control panel's
// buttons with a readable move list, the list's first columns, and a chat line of a few words.
inline constexpr int kStartRightPane = 360;

// What the user moves: the splitters, and whether the right pane is collapsed. Each place is
// kept with the window size it was set at, so that a window made smaller and then larger again
// shows the panes as the user left them.
struct SplitState {
    int vSplitLeft = 0;   // the vertical splitter's left edge
    int vSplitWidth = 0;  // in a window of this width
    int vSplitSaved = 0;  // where a restore puts it back
    int vSplitSavedWidth = 0;
    bool collapsed = false;
    int optSplitTop = 270;  // the bar under the control panel
    int chatSplitTop = 0;   // the bar above the chat
    int barsHeight = 0;     // the window height both bars were set at
};

// Start values for a screen of this size (the window starts as wide as the screen and 32 pixels
// lower): three quarters of the width for the vertical splitter (less where the right pane would
// be narrower than kStartRightPane), 270 and a third of the rest for the bars.
SplitState startSplits(QSize screen);

// Every pane of the window for a client size. A pane whose height would not be positive is not
// given (it stays where it was), and without room for the right pane only the game pane is.
struct MainLayout {
    QRect splitter;
    QRect gamePane;
    bool rightPane = false;
    QRect userButtons;
    std::optional<QRect> controlPanel;
    QRect optBar;
    QRect userList;
    QRect chatBar;
    std::optional<QRect> chat;
};
MainLayout layOutMainWindow(QSize client, const SplitState& s);

// The left edge the splitter has in a window of this width: its place scaled to the width,
// held so that the game pane keeps kVSplitMin and the right pane kVSplitFromRight. Collapsed, it
// keeps to the right edge.
int shownSplitLeft(int clientWidth, const SplitState& s);

// The tops the two bars have in a window of this height: the control panel keeps its height
// while there is room, the list and the chat share what is below it as they did, and each pane
// keeps kBarDistance from the next bar or edge.
struct BarTops {
    int opt;
    int chat;
};
BarTops shownBars(int clientHeight, const SplitState& s);

// The vertical splitter's middle band, in its own coordinates: [first, last].
struct Band {
    int first;
    int last;
};
Band middleZone(int splitterHeight);
// A click strictly inside the band collapses or restores the right pane.
bool pressCollapses(int y, int splitterHeight);
void toggleCollapse(SplitState& s, int clientWidth);

// A drag proposes x: the ghost follows only within the limits; the drop is held to them and
// becomes the splitter's place in a window of this width.
bool ghostMayMove(int x, int clientWidth);
int dropVSplit(int x, int clientWidth);
void placeVSplit(SplitState& s, int x, int clientWidth);

// The horizontal bars: the drop is held 100 pixels from the other bar (where it is shown) and
// from the edges, and both bars are then kept as they stand in a window of this height.
int dropOptSplit(int y, int chatTop);
int dropChatSplit(int y, int optTop, int clientHeight);
void placeOptBar(SplitState& s, int y, int clientHeight);
void placeChatBar(SplitState& s, int y, int clientHeight);

// The board in the game pane: the aspect 608 : 670, centred right of the 150-pixel column.
QRect BoardRect(QSize gamePane);

}  // namespace xq

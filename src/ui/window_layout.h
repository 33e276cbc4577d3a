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

// What the user moves: the splitters, and whether the right pane is collapsed.
struct SplitState {
    int vSplitLeft = 0;   // the vertical splitter's left edge
    int vSplitSaved = 0;  // where a restore puts it back
    bool collapsed = false;
    int optSplitTop = 270;  // the bar under the control panel
    int chatSplitTop = 0;   // the bar above the chat
};

// Start values for a screen of this size: three quarters of the width for the vertical splitter
// (less where the right pane would be narrower than kStartRightPane), 270 and a third of the rest
// for the bars.
SplitState StartSplits(QSize screen);

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
// The splitter stands at the stored place, but at least at kVSplitMin and never so far right
// that it leaves the window: the caption and the splitter itself stay in view.
MainLayout LayOutMainWindow(QSize client, SplitState& s);

// The left edge the splitter has in a window of this width.
int ShownSplitLeft(int clientWidth, const SplitState& s);

// The vertical splitter's middle band, in its own coordinates: [first, last].
struct Band {
    int first;
    int last;
};
Band MiddleZone(int splitterHeight);
// A click strictly inside the band collapses or restores the right pane.
bool PressCollapses(int y, int splitterHeight);
void ToggleCollapse(SplitState& s, int clientWidth);

// A drag proposes x: the ghost follows only within the limits; the drop is held to them.
bool GhostMayMove(int x, int clientWidth);
int DropVSplit(int x, int clientWidth);

// The horizontal bars: the drop is held 100 pixels from the other bar and from the edges.
int DropOptSplit(int y, const SplitState& s);
int DropChatSplit(int y, const SplitState& s, int clientHeight);

// The board in the game pane: the aspect 608 : 670, centred right of the 150-pixel column.
QRect BoardRect(QSize gamePane);

}  // namespace xq

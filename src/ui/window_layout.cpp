#include "ui/window_layout.h"

#include <algorithm>

namespace xq {

SplitState StartSplits(QSize screen) {
    SplitState s;
    // Three quarters of a wide screen; on a narrow one the right pane keeps room to work in.
    s.vSplitLeft = std::max(
        kVSplitMin,
        std::min(screen.width() * 3 / 4, screen.width() - kStartRightPane - kSplitterWidth - 8));
    s.vSplitSaved = s.vSplitLeft;
    s.optSplitTop = 270;
    s.chatSplitTop = 270 + (screen.height() - 270) / 3;
    return s;
}

int ShownSplitLeft(int clientWidth, const SplitState& s) {
    // At the right edge the splitter stands where a collapse puts it: still whole, and with it
    // the caption bar, which is drawn only while the splitter is inside the window.
    const int rightmost = clientWidth - kSplitterWidth - 2;
    return std::max(kVSplitMin, std::min(s.vSplitLeft, rightmost));
}

MainLayout LayOutMainWindow(QSize client, SplitState& s) {
    const int sw = client.width(), sh = client.height();
    const int h = sh - 32;  // 27 caption, 4 border, 1
    s.vSplitLeft = std::max(s.vSplitLeft, kVSplitMin);
    MainLayout l;
    const int left = ShownSplitLeft(sw, s);
    l.splitter = QRect(left, kCaptionHeight, kSplitterWidth, std::max(h, 0));
    l.gamePane = QRect(5, kCaptionHeight, left - 6, std::max(h, 0));
    const int r = sw - left - kSplitterWidth - 2 - 6;
    if (kSplitterWidth > r) return l;
    l.rightPane = true;
    const int x = left + kSplitterWidth + 2;
    l.userButtons = QRect(x, kCaptionHeight, r, 33);
    if (s.optSplitTop - 60 > 0) l.controlPanel = QRect(x, 60, r, s.optSplitTop - 60);
    l.optBar = QRect(x, s.optSplitTop, r, kBarHeight);
    l.userList = QRect(x, s.optSplitTop + kBarHeight, r,
                       std::max(0, s.chatSplitTop - s.optSplitTop - kBarHeight));
    l.chatBar = QRect(x, s.chatSplitTop, r, kBarHeight);
    const int c = sh - 4 - s.chatSplitTop - kBarHeight - 2;
    if (c > 0) l.chat = QRect(x, s.chatSplitTop + kBarHeight, r, c);
    return l;
}

Band MiddleZone(int splitterHeight) {
    return {(splitterHeight - kMiddleZone) / 2, (splitterHeight + kMiddleZone) / 2};
}

bool PressCollapses(int y, int splitterHeight) {
    const Band band = MiddleZone(splitterHeight);
    return band.first < y && y < band.last;
}

void ToggleCollapse(SplitState& s, int clientWidth) {
    if (s.collapsed) {
        s.vSplitLeft = s.vSplitSaved;
        s.collapsed = false;
    } else {
        s.vSplitSaved = s.vSplitLeft;
        s.vSplitLeft = clientWidth - kSplitterWidth - 2;
        s.collapsed = true;
    }
}

bool GhostMayMove(int x, int clientWidth) {
    return x >= kVSplitMin && x <= clientWidth - kVSplitFromRight;
}

int DropVSplit(int x, int clientWidth) {
    return std::max(std::min(x, clientWidth - kVSplitFromRight), kVSplitMin);
}

int DropOptSplit(int y, const SplitState& s) {
    return std::min(std::max(y, kBarDistance), s.chatSplitTop - kBarDistance);
}

int DropChatSplit(int y, const SplitState& s, int clientHeight) {
    return std::min(std::max(y, s.optSplitTop + kBarDistance), clientHeight - kBarDistance);
}

QRect BoardRect(QSize gamePane) {
    const int aw = gamePane.width() - 150 - 20, ah = gamePane.height() - 20 - 20;
    int bw = aw, bh = aw * 670 / 608;
    if (ah < bh) {
        bw = ah * 608 / 670;
        bh = ah;
    }
    return QRect((aw - bw) / 2 + 150, (ah - bh) / 2 + 20, std::max(0, bw), std::max(0, bh));
}

}  // namespace xq

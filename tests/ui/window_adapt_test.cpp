// The table window at different sizes and under the user's mouse: splitters dragged with
// synthesized mouse events, the frame's zones, the minimum size and a small screen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include "ui/chat_panel.h"
#include "ui/control_panel.h"
#include "ui/game_pane.h"
#include "ui/player_panels.h"
#include "ui/side_strips.h"
#include "ui/splitter_bars.h"
#include "ui/user_list_view.h"
#include "ui/window_frame.h"
#include "window_fixture.h"

namespace xq {
namespace {

void Send(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)),
                  type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A press at `from`, moves in steps to `to`, a release there: a drag as the user makes it.
void Drag(QWidget* w, QPoint from, QPoint to, const std::function<void()>& midway = {}) {
    Send(w, QEvent::MouseButtonPress, from);
    for (int i = 1; i <= 4; ++i) {
        Send(w, QEvent::MouseMove, from + (to - from) * i / 4);
        if (i == 2 && midway) midway();
    }
    Send(w, QEvent::MouseButtonRelease, to);
}

// The same for the window itself, which moves under the pointer: the pointer's path is on the
// screen, each event carries where it is in the window at that moment.
void DragWindow(QWidget* w, QPoint from, QPoint to) {
    const QPoint start = w->mapToGlobal(from);
    const auto send = [w](QEvent::Type type, QPoint global) {
        const QPoint at = w->mapFromGlobal(global);
        QMouseEvent e(type, QPointF(at), QPointF(global),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    };
    send(QEvent::MouseButtonPress, start);
    for (int i = 1; i <= 4; ++i)
        send(QEvent::MouseMove, start + (to - from) * i / 4);
    send(QEvent::MouseButtonRelease, start + (to - from));
}

struct SizedWindow : WindowFixture {
    SizedWindow(QSize screen = {1600, 900},
                const QString& programFolder = QStringLiteral("/nonexistent/game"))
        : WindowFixture(programFolder) {
        window->startLayoutFor(screen);
        window->setGeometry(0, 0, screen.width(), screen.height() - 32);
        window->show();
        QApplication::processEvents();
    }
    QRect right() { return window->controlPanel().geometry(); }
};

TEST(Splitters, DraggingTheVerticalSplitterMovesThePanesWithinItsLimits) {
    SizedWindow f;
    VSplitterBar& bar = f.window->vSplitter();
    const QPoint grip(6, 100);  // well above the middle band
    const struct {
        int by;
        int left;
    } drags[] = {{-400, 800}, {-2000, 200}, {+5000, 1460}, {-60, 1400}};
    for (const auto& d : drags) {
        const int before = bar.x();
        bool ghostShown = false;
        int ghostX = 0;
        Drag(&bar, grip, grip + QPoint(d.by, 0), [&] {
            ghostShown = f.window->ghost().isVisible();
            ghostX = f.window->ghost().x();
        });
        EXPECT_TRUE(ghostShown) << d.by;
        EXPECT_GE(ghostX, 200) << "the ghost stops at the limit";
        EXPECT_LE(ghostX, 1600 - 140);
        EXPECT_FALSE(f.window->ghost().isVisible()) << "gone after the drop";
        EXPECT_EQ(bar.x(), d.left) << "from " << before << " by " << d.by;
        EXPECT_EQ(f.window->gamePane().geometry(), QRect(5, 27, d.left - 6, 836));
        EXPECT_EQ(f.right().x(), d.left + 14);
        EXPECT_EQ(f.right().width(), 1600 - d.left - 20);
    }
}

TEST(Splitters, TheMiddleBandCollapsesAndRestoresTheRightPane) {
    SizedWindow f;
    VSplitterBar& bar = f.window->vSplitter();
    const int before = bar.x();
    const QPoint middle(6, bar.height() / 2);
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        Send(&bar, QEvent::MouseButtonPress, middle, button);
        Send(&bar, QEvent::MouseButtonRelease, middle, button);
        EXPECT_TRUE(bar.collapsed());
        EXPECT_EQ(bar.x(), 1600 - 14);
        EXPECT_FALSE(f.window->controlPanel().isVisibleTo(f.window.get()));
        EXPECT_FALSE(f.window->chat().isVisibleTo(f.window.get()));
        EXPECT_EQ(f.window->gamePane().width(), 1600 - 14 - 6) << "the game pane fills the window";
        Send(&bar, QEvent::MouseButtonPress, middle, button);
        Send(&bar, QEvent::MouseButtonRelease, middle, button);
        EXPECT_FALSE(bar.collapsed());
        EXPECT_EQ(bar.x(), before);
        EXPECT_TRUE(f.window->controlPanel().isVisibleTo(f.window.get()));
    }
    // The pointer: an arrow over the band, the sizing pointer elsewhere.
    Send(&bar, QEvent::MouseMove, middle, Qt::NoButton);
    EXPECT_EQ(bar.cursor().shape(), Qt::ArrowCursor);
    Send(&bar, QEvent::MouseMove, QPoint(6, 10), Qt::NoButton);
    EXPECT_EQ(bar.cursor().shape(), Qt::SizeHorCursor);
}

TEST(Splitters, DraggingTheBarsResizesTheRightPaneWithinAHundredPixels) {
    SizedWindow f;  // bars at 270 and 480, client 868 high
    HSplitterBar& opt = f.window->optBar();
    HSplitterBar& chat = f.window->chatBar();
    const struct {
        HSplitterBar* bar;
        int by;
        int optTop;
        int chatTop;
    } drags[] = {
        {&opt, +60, 330, 480},   {&opt, -500, 100, 480},   {&opt, +1000, 380, 480},
        {&chat, +100, 380, 580}, {&chat, -1000, 380, 480}, {&chat, +1000, 380, 768},
        {&opt, -100, 280, 768},
    };
    for (const auto& d : drags) {
        const QPoint grip(50, 2);
        bool ghostShown = false;
        Drag(d.bar, grip, grip + QPoint(0, d.by),
             [&] { ghostShown = f.window->ghost().isVisible(); });
        EXPECT_TRUE(ghostShown);
        EXPECT_EQ(opt.y(), d.optTop) << d.by;
        EXPECT_EQ(chat.y(), d.chatTop) << d.by;
        EXPECT_EQ(f.right().height(), d.optTop - 60);
        EXPECT_EQ(f.window->userList().geometry(),
                  QRect(opt.x(), d.optTop + 5, opt.width(), d.chatTop - d.optTop - 5));
        EXPECT_EQ(f.window->chat().geometry().top(), d.chatTop + 5);
        EXPECT_EQ(f.window->chat().geometry().bottom(), 868 - 4 - 2 - 1);
    }
}

TEST(SmallScreens, CaptionButtonsControlPanelAndChatAreOnScreen) {
    for (QSize screen : {QSize(1024, 768), QSize(1280, 800), QSize(1366, 768), QSize(1920, 1080)}) {
        SizedWindow f(screen);
        const QRect client(QPoint(0, 0), f.window->size());
        EXPECT_TRUE(f.window->frame().captionShown()) << screen.width();
        for (int slot = 0; slot < 3; ++slot)
            EXPECT_TRUE(client.contains(QRect(SysButtonPos(client.width(), slot), QSize(20, 23))));
        for (QWidget* pane : {static_cast<QWidget*>(&f.window->controlPanel()),
                              static_cast<QWidget*>(&f.window->chat()),
                              static_cast<QWidget*>(&f.window->userList())}) {
            EXPECT_TRUE(pane->isVisibleTo(f.window.get())) << screen.width();
            EXPECT_TRUE(client.contains(pane->geometry())) << screen.width();
            EXPECT_GE(pane->width(), 360) << screen.width();
        }
        EXPECT_GE(f.window->gamePane().board().width(), 400) << screen.width();
    }
}

// The panes of the table window, by name, as they stand now.
struct Panes {
    explicit Panes(MainWindow& w) {
        all = {{"game pane", &w.gamePane()},
               {"splitter", &w.vSplitter()},
               {"user buttons", w.findChild<UserButtonStrip*>()},
               {"control panel", &w.controlPanel()},
               {"upper bar", &w.optBar()},
               {"user list", &w.userList()},
               {"lower bar", &w.chatBar()},
               {"chat", &w.chat()}};
    }
    std::vector<std::pair<const char*, QWidget*>> all;
};

TEST(Resizing, ShrinkingThenGrowingKeepsEveryPaneInItsLimitsAndGivesTheSharesBack) {
    SizedWindow f;  // 1600 x 868: bars at 270 and 480
    VSplitterBar& bar = f.window->vSplitter();
    Drag(&bar, QPoint(6, 100), QPoint(6 - 100, 100));  // the user's place: 1100 of 1600
    ASSERT_EQ(bar.x(), 1100);
    const struct {
        QSize size;
        int split;  // the board keeps its share of the width, within the limits
        int chatTop;
    } steps[] = {
        {{1200, 800}, 825, 456},  {{900, 700}, 619, 421},   {{640, 480}, 440, 370},
        {{700, 600}, 481, 386},   {{1600, 868}, 1100, 480}, {{1920, 1000}, 1320, 526},
        {{1600, 868}, 1100, 480},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(std::to_string(s.size.width()) + "x" + std::to_string(s.size.height()));
        f.window->resize(s.size);
        QApplication::processEvents();
        ASSERT_EQ(f.window->size(), s.size);
        EXPECT_EQ(bar.x(), s.split);
        EXPECT_GE(bar.x(), 200) << "the board keeps its 200 pixels";
        EXPECT_GE(s.size.width() - bar.x(), 140) << "the right pane keeps its 140";
        EXPECT_EQ(f.window->gamePane().geometry(), QRect(5, 27, s.split - 6, s.size.height() - 32));
        const QRect client(QPoint(0, 0), s.size);
        for (auto [name, pane] : Panes(*f.window).all) {
            EXPECT_TRUE(pane->isVisibleTo(f.window.get())) << name;
            EXPECT_TRUE(client.contains(pane->geometry())) << name;
        }
        EXPECT_EQ(f.right().x(), s.split + 14);
        EXPECT_EQ(f.right().width(), s.size.width() - s.split - 20);
        EXPECT_EQ(f.window->optBar().y(), 270) << "the control panel keeps its height";
        EXPECT_EQ(f.window->chatBar().y(), s.chatTop);
        EXPECT_GE(f.window->chatBar().y() - f.window->optBar().y(), 100);
        EXPECT_EQ(f.window->chat().geometry().bottom(), s.size.height() - 4 - 2 - 1);
        EXPECT_GE(f.window->chat().height(), 89);
    }

    // A collapsed right pane stays collapsed at every size, and comes back at the user's place.
    Send(&bar, QEvent::MouseButtonPress, QPoint(6, bar.height() / 2));
    Send(&bar, QEvent::MouseButtonRelease, QPoint(6, bar.height() / 2));
    for (QSize size : {QSize(640, 480), QSize(1920, 1000), QSize(1600, 868)}) {
        f.window->resize(size);
        QApplication::processEvents();
        EXPECT_EQ(bar.x(), size.width() - 14) << size.width();
        EXPECT_FALSE(f.window->controlPanel().isVisibleTo(f.window.get())) << size.width();
    }
    Send(&bar, QEvent::MouseButtonPress, QPoint(6, bar.height() / 2));
    Send(&bar, QEvent::MouseButtonRelease, QPoint(6, bar.height() / 2));
    EXPECT_EQ(bar.x(), 1100);
}

TEST(Resizing, AtTheSmallestSizeNothingOverlaps) {
    // The widest start (three quarters of a large screen, the lower bar low), made as small as
    // the window goes.
    SizedWindow f({1920, 1080}, QStringLiteral(XQ_TEST_GAME_DIR));
    f.window->resize(640, 480);
    QApplication::processEvents();
    ASSERT_EQ(f.window->size(), QSize(640, 480));
    const QRect client(0, 0, 640, 480);
    using Named = std::vector<std::pair<std::string, QRect>>;
    Named shown;
    for (auto [name, pane] : Panes(*f.window).all) {
        EXPECT_TRUE(pane->isVisibleTo(f.window.get())) << name;
        shown.emplace_back(name, pane->geometry());
    }
    for (int slot = 0; slot < 3; ++slot)
        shown.emplace_back("caption button " + std::to_string(slot),
                           QRect(SysButtonPos(640, slot), QSize(20, 23)));
    const auto apart = [](const Named& rects, const QRect& within) {
        for (std::size_t i = 0; i < rects.size(); ++i) {
            EXPECT_TRUE(within.contains(rects[i].second)) << rects[i].first;
            for (std::size_t j = i + 1; j < rects.size(); ++j) {
                EXPECT_FALSE(rects[i].second.intersects(rects[j].second))
                    << rects[i].first << " and " << rects[j].first;
            }
        }
    };
    apart(shown, client);

    // In the game pane: the plate of the player panels, the plate of the style boxes (with the
    // boxes on it) and the board.
    GamePane& pane = f.window->gamePane();
    const QString res = QStringLiteral(XQ_TEST_GAME_DIR "/Res/");
    const QSize plate = QImage(res + "UserInfo.bmp").size();
    const QSize stylePlate = QImage(res + "StyleBack.bmp").size();
    ASSERT_FALSE(plate.isEmpty() || stylePlate.isEmpty());
    const PanelLayout panels(pane.height());
    // The plate is drawn 13 pixels left of the upper face and 15 above it.
    const QRect plateRect(panels.origin[0] - QPoint(13, 15), plate);
    const QRect styleRect(QPoint(10, pane.boardStyleBox().y() - 35), stylePlate);
    const QRect board = pane.board().QWidget::geometry();
    apart({{"panel plate", plateRect}, {"style plate", styleRect}, {"board", board}},
          QRect(QPoint(0, 0), pane.size()));
    for (QComboBox* box : {&pane.boardStyleBox(), &pane.pieceStyleBox()}) {
        EXPECT_TRUE(styleRect.contains(box->geometry())) << box->y();
        EXPECT_FALSE(box->geometry().intersects(board));
    }
    EXPECT_FALSE(pane.boardStyleBox().geometry().intersects(pane.pieceStyleBox().geometry()));
    // The lower panel's second clock ends inside its plate.
    EXPECT_TRUE(plateRect.contains(QRect(panels.clockB(1), QSize(2 * 35 + 22, 17))));
}

struct ShownWindow : SizedWindow {
    ShownWindow() {
        window->move(100, 50);
        QApplication::processEvents();
    }
    WindowFrame& frame() { return window->frame(); }
    QPoint at(int x, int y) { return window->mapToGlobal(QPoint(x, y)); }
};

TEST(Frame, ZonesPointerAndHotButtonFollowThePointerOverTheWholeWindow) {
    ShownWindow f;
    const int w = f.window->width(), h = f.window->height();
    f.frame().poll(f.at(2, 300));
    EXPECT_EQ(f.frame().zone(), FrameZone::Left);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::SizeHorCursor);
    f.frame().poll(f.at(w - 2, h - 2));
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::SizeFDiagCursor);
    f.frame().poll(f.at(300, 15));
    EXPECT_EQ(f.frame().zone(), FrameZone::Move);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the panes' own pointers again";

    // The close button turns hot and goes back when the pointer leaves into a pane.
    const QPoint close = SysButtonPos(w, 2) + QPoint(10, 10);
    Send(f.window.get(), QEvent::MouseMove, close, Qt::NoButton);
    EXPECT_EQ(f.frame().hotSysButton(), 2);
    EXPECT_EQ(f.frame().zone(), FrameZone::None);
    f.frame().poll(f.window->mapToGlobal(f.window->chat().geometry().center()));
    EXPECT_EQ(f.frame().hotSysButton(), -1);
}

TEST(Frame, WithoutASystemLoopTheWindowMovesAndSizesItselfAndKeepsItsMinimum) {
    ShownWindow f;
    f.frame().startSystemMove = [] { return false; };
    f.frame().startSystemResize = [](Qt::Edges) { return false; };
    const QRect start = f.window->geometry();
    DragWindow(f.window.get(), QPoint(300, 15), QPoint(340, 35));
    EXPECT_EQ(f.window->geometry(), start.translated(40, 20));
    EXPECT_FALSE(f.frame().draggingByHand());

    const QRect before = f.window->geometry();
    const QPoint corner(before.width() - 2, before.height() - 2);
    DragWindow(f.window.get(), corner, corner - QPoint(5000, 5000));
    EXPECT_EQ(f.window->geometry(), QRect(before.topLeft(), QSize(640, 480)));

    // A window made smaller from outside (no window manager holds the hint) grows back.
    f.window->setMinimumSize(0, 0);
    f.window->resize(500, 400);
    f.frame().poll(f.at(300, 300));
    EXPECT_EQ(f.window->size(), QSize(640, 480));
    // Maximised, the frame neither moves nor sizes.
    bool asked = false;
    f.frame().startSystemMove = [&] { return asked = true; };
    f.window->showMaximized();
    QApplication::processEvents();
    Send(f.window.get(), QEvent::MouseButtonPress, QPoint(300, 15));
    Send(f.window.get(), QEvent::MouseButtonRelease, QPoint(300, 15));
    EXPECT_FALSE(asked);
}

TEST(Frame, ThePressGoesToTheSystemLoopWhereThereIsOne) {
    ShownWindow f;
    Qt::Edges edges;
    int moves = 0;
    f.frame().startSystemMove = [&] { return ++moves > 0; };
    f.frame().startSystemResize = [&](Qt::Edges e) {
        edges = e;
        return true;
    };
    Send(f.window.get(), QEvent::MouseButtonPress, QPoint(300, 15));
    Send(f.window.get(), QEvent::MouseButtonRelease, QPoint(300, 15));
    EXPECT_EQ(moves, 1);
    Send(f.window.get(), QEvent::MouseButtonPress, QPoint(1, f.window->height() - 1));
    EXPECT_EQ(edges, Qt::LeftEdge | Qt::BottomEdge);
    EXPECT_FALSE(f.frame().draggingByHand());
}

}  // namespace
}  // namespace xq

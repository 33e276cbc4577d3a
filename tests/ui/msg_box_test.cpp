#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "game/msg_pool.h"
#include "ui/msg_box.h"
#include "ui/msg_box_host.h"

namespace xq {
namespace {

MsgBoxInfo BoxOf(std::uint8_t type, std::int32_t delay, bool yesDefault) {
    return MsgBoxInfo{0, type, "note", "中国象棋", delay, "同意", "拒绝", yesDefault, {}};
}

TEST(MsgBox, LayoutByTypeInTwips) {
    const struct {
        std::uint8_t type;
        int twipsW, twipsH;
        bool yes, no;
    } cases[] = {
        {0, 5960, 1030, false, false}, {1, 5525, 2165, true, false}, {2, 5525, 2165, true, true}};
    for (const auto& c : cases) {
        MsgBox box(BoxOf(c.type, 10, true), {}, nullptr);
        const double tpp = MsgBox::twipsPerPixel(&box);
        EXPECT_NEAR(box.width(), c.twipsW / tpp, 1.0);
        EXPECT_NEAR(box.height(), c.twipsH / tpp, 1.0);
        EXPECT_EQ(box.button(0)->isVisibleTo(&box), c.yes);
        EXPECT_EQ(box.button(1)->isVisibleTo(&box), c.no);
        EXPECT_EQ(box.windowTitle(), c.type == 0 ? "" : "中国象棋");
        EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
    }
    MsgBox two(BoxOf(2, 10, false), {}, nullptr);
    EXPECT_EQ(two.button(1)->x() - two.button(0)->x(), 89 + 6);
    EXPECT_EQ(two.button(0)->y(), two.height() - 30);
    EXPECT_EQ(two.button(0)->text(), "同意(&Y)");
    EXPECT_EQ(two.button(1)->text(), "拒绝(&N)");
}

TEST(MsgBox, CountsDownOnTheDefaultButtonAndAnswers) {
    MsgBox question(BoxOf(2, 2, false), {}, nullptr);
    int answer = -1;
    QObject::connect(&question, &MsgBox::answered, [&](int b) { answer = b; });
    question.tick();
    EXPECT_EQ(question.button(1)->text(), "拒绝(&N) 2");
    question.tick();
    question.tick();
    EXPECT_EQ(question.button(1)->text(), "拒绝(&N) 0");
    EXPECT_EQ(answer, 1) << "left alone the question refuses";

    MsgBox confirm(BoxOf(1, 0, false), {}, nullptr);
    answer = -1;
    QObject::connect(&confirm, &MsgBox::answered, [&](int b) { answer = b; });
    confirm.tick();
    EXPECT_EQ(confirm.button(0)->text(), "同意(&Y) 0");
    EXPECT_EQ(answer, 0);
}

// On a shown box, Enter and the keypad's Enter press the button with the focus (the default
// button when the box opens; Tab moves it), and the access keys press theirs wherever it is.
TEST(MsgBox, KeysAnswerWithTheFocusedButton) {
    const struct {
        const char* name;
        std::uint8_t type;
        bool yesDefault;
        int tabs;  // Tab presses first
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int focused;  // the button with the focus when the key comes
        std::int16_t answer;
    } cases[] = {
        {"confirmation, Enter", 1, true, 0, Qt::Key_Return, Qt::NoModifier, 0, MsgPool::kYes},
        {"confirmation, keypad Enter", 1, true, 0, Qt::Key_Enter, Qt::KeypadModifier, 0,
         MsgPool::kYes},
        {"confirmation, Tab keeps its one button", 1, false, 1, Qt::Key_Return, Qt::NoModifier, 0,
         MsgPool::kYes},
        {"question, No by default, Enter", 2, false, 0, Qt::Key_Return, Qt::NoModifier, 1,
         MsgPool::kNo},
        {"question, Tab to Yes, Enter", 2, false, 1, Qt::Key_Return, Qt::NoModifier, 0,
         MsgPool::kYes},
        {"question, Yes by default, keypad Enter", 2, true, 0, Qt::Key_Enter, Qt::KeypadModifier, 0,
         MsgPool::kYes},
        {"question, Tab to No, keypad Enter", 2, true, 1, Qt::Key_Enter, Qt::KeypadModifier, 1,
         MsgPool::kNo},
        {"question, Tab twice, back on Yes", 2, true, 2, Qt::Key_Return, Qt::NoModifier, 0,
         MsgPool::kYes},
        {"question, Alt+Y on No", 2, false, 0, Qt::Key_Y, Qt::AltModifier, 1, MsgPool::kYes},
        {"question, Alt+N on Yes", 2, true, 0, Qt::Key_N, Qt::AltModifier, 0, MsgPool::kNo},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget owner;
        owner.show();
        MsgBoxHostWidgets host(&owner, "/nonexistent/");
        MsgPool pool(host);
        host.setPool(&pool);
        pool.InitMsgObjects("/nonexistent/");
        int focused = -1;
        QTimer::singleShot(0, [&] {
            const QList<MsgBox*> open = host.openBoxes();
            if (open.size() != 1) {
                ADD_FAILURE() << "the box is not open";
                pool.CloseMsgObjects(0);
                return;
            }
            MsgBox* box = open[0];
            // Keys go to the focused window's widget, as on a desktop.
            box->activateWindow();
            QCoreApplication::processEvents();
            for (int i = 0; i < c.tabs; ++i)
                QTest::keyClick(box->focusWidget(), Qt::Key_Tab);
            QWidget* target = box->focusWidget();
            focused = target == box->button(0) ? 0 : target == box->button(1) ? 1 : -1;
            QTest::keyClick(target, c.key, c.modifiers);
            // An access key clicks its button the way a click looks (pressed, then released a
            // moment later); only a box still open after that has ignored the key.
            QTimer::singleShot(1000, [&, box = QPointer<MsgBox>(box)] {
                if (box.isNull() || !box->isVisible()) return;
                ADD_FAILURE() << "the key left the box open";
                pool.CloseMsgObjects(0);
            });
        });
        const std::int16_t answer =
            pool.ShowMsg(0, c.type, "note", "中国象棋", 10, "同意", "拒绝", c.yesDefault);
        EXPECT_EQ(focused, c.focused);
        EXPECT_EQ(answer, c.answer);
    }
}

// A box opens centred over the window it belongs to (a notice over the table window too), wholly
// on that window's screen; only without any window does it open at the screen's centre.
TEST(MsgBoxHost, BoxesOpenOverTheirWindow) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect offCentre(screen.topLeft() + QPoint(10, 20), QSize(500, 320));
    const QRect atTheCorner(screen.bottomRight() - QPoint(150, 100), QSize(300, 200));
    const struct {
        const char* name;
        std::uint8_t type;
        QRect window;  // none: the host knows no window
    } cases[] = {
        {"question", 2, offCentre},
        {"confirmation", 1, offCentre},
        {"notice", 0, offCentre},
        {"question over a window in the corner", 2, atTheCorner},
        {"notice over a window in the corner", 0, atTheCorner},
        {"question without a window", 2, {}},
        {"notice without a window", 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget window;
        const bool hasWindow = !c.window.isNull();
        if (hasWindow) {
            window.setGeometry(c.window);
            window.show();
        }
        MsgBoxHostWidgets host(hasWindow ? &window : nullptr, "/nonexistent/");
        MsgPool pool(host);
        host.setPool(&pool);
        pool.InitMsgObjects("/nonexistent/");
        QRect box;
        const auto takePlace = [&] {
            const QList<MsgBox*> open = host.openBoxes();
            if (open.size() == 1) box = open[0]->frameGeometry();
            pool.CloseMsgObjects(0);
        };
        if (c.type != 0) QTimer::singleShot(0, takePlace);
        pool.ShowMsg(0, c.type, "note", "中国象棋", 10, "同意", "拒绝", false);
        if (c.type == 0) takePlace();
        ASSERT_FALSE(box.isNull()) << "the box did not open";
        const QPoint centre = hasWindow ? window.frameGeometry().center()
                                        : QGuiApplication::primaryScreen()->geometry().center();
        QRect expected(QPoint(), box.size());
        expected.moveCenter(centre);
        // Kept on the screen: moved back in from the right and the bottom.
        expected.moveRight(std::min(expected.right(), screen.right()));
        expected.moveBottom(std::min(expected.bottom(), screen.bottom()));
        EXPECT_NEAR(box.x(), expected.x(), 1) << box.x() << "," << box.y();
        EXPECT_NEAR(box.y(), expected.y(), 1) << box.x() << "," << box.y();
        EXPECT_TRUE(screen.contains(box));
    }
}

TEST(MsgBoxHost, PoolClosesARunningModalBoxCleanly) {
    QWidget owner;
    MsgBoxHostWidgets host(&owner, "/nonexistent/");
    MsgPool pool(host);
    host.setPool(&pool);
    pool.InitMsgObjects("/nonexistent/");

    // A question closed by the pool while its loop runs answers No and leaves no box behind.
    QTimer::singleShot(30, [&] { pool.CloseMsgObjects(0); });
    EXPECT_EQ(pool.ShowMsg(0, 2, "q", "t", 10, "是", "否", true), MsgPool::kNo);
    EXPECT_EQ(pool.openBoxes(), 0);

    // Closed, and a new question opened inside the first one's wait and answered by a press:
    // each returns its own answer.
    std::int16_t inner = 99;
    QTimer::singleShot(30, [&] {
        pool.CloseMsgObjects(0);
        QTimer::singleShot(30, [&] {
            for (MsgBox* box : host.openBoxes())
                box->button(0)->click();
        });
        inner = pool.ShowMsg(0, 2, "inner", "t", 10, "是", "否", false);
    });
    EXPECT_EQ(pool.ShowMsg(0, 2, "outer", "t", 10, "是", "否", true), MsgPool::kNo);
    EXPECT_EQ(inner, MsgPool::kYes);

    // A notice stays until the pool closes it.
    pool.ShowMsg(0, 0, "wait", {}, 0, {}, {}, true);
    EXPECT_EQ(host.openBoxes().size(), 1);
    pool.CloseMsgObjects(0);
    QApplication::processEvents();
    EXPECT_TRUE(host.openBoxes().isEmpty());
    EXPECT_EQ(pool.openBoxes(), 0);
}

// A box belongs to the window it must stay above (a transient stays above its owner) when that
// window is shown: whether the box opens while it is up, or it comes up over an open box.
TEST(MsgBoxHost, BoxesStayAboveAShownFrontWindow) {
    const struct {
        const char* name;
        bool frontShownFirst;  // else it comes up while the box waits
        bool frontVisible;
        bool front;  // a front window is named at all
        bool ownedByFront;
    } cases[] = {
        {"box over a shown dialog", true, true, true, true},
        {"dialog shown over a box", false, true, true, true},
        {"dialog hidden", true, false, true, false},
        {"no dialog", true, false, false, false},
    };
    for (const auto& c : cases) {
        QWidget owner;
        owner.show();
        QDialog front(&owner, Qt::Dialog | Qt::WindowStaysOnTopHint);
        MsgBoxHostWidgets host(&owner, "/nonexistent/");
        MsgPool pool(host);
        host.setPool(&pool);
        pool.InitMsgObjects("/nonexistent/");
        const auto showFront = [&] {
            if (c.frontVisible) front.show();
            if (c.front) host.stayAbove(&front);
        };
        if (c.frontShownFirst) showFront();
        QWindow* transientParent = nullptr;
        QWidget* modal = nullptr;
        QTimer::singleShot(0, [&] {
            if (!c.frontShownFirst) showFront();
            const QList<MsgBox*> open = host.openBoxes();
            if (open.size() == 1 && open[0]->windowHandle() != nullptr)
                transientParent = open[0]->windowHandle()->transientParent();
            modal = QApplication::activeModalWidget();
            pool.CloseMsgObjects(0);
        });
        pool.ShowMsg(0, 1, "桌主设置无效：本桌大小", "中国象棋", 10, "确定", {}, true);
        EXPECT_EQ(transientParent, c.ownedByFront ? front.windowHandle() : owner.windowHandle())
            << c.name;
        ASSERT_NE(modal, nullptr) << c.name;
        EXPECT_EQ(modal->parentWidget(), &owner) << c.name << ": the box lives on with its owner";
    }
}

}  // namespace
}  // namespace xq

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include "../support/bytes.h"
#include "../support/file_dialog_answer.h"
#include "net/table_requests.h"
#include "replay/replay_window.h"
#include "ui/app_startup.h"
#include "ui/chat_panel.h"
#include "ui/control_panel.h"
#include "ui/game_pane.h"
#include "ui/game_set_dialog.h"
#include "ui/help_window.h"
#include "ui/main_window.h"
#include "ui/player_panels.h"
#include "ui/side_strips.h"
#include "ui/user_list_view.h"
#include "ui/user_set_dialog.h"
#include "version/version.h"
#include "window_fixture.h"

namespace xq {
namespace {

using xq::test::FileDialogAnswer;
using xq::test::Text;

TEST(ControlPanelGeometry, GapsAndStrictHits) {
    EXPECT_EQ(optButtonGap(200), 5);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(optButtonTop(200, i), 25 * (i + 1));
    EXPECT_EQ(optButtonGap(150), 0);
    EXPECT_EQ(optButtonTop(150, 6), 140) << "without room the buttons touch";
    const struct {
        int x, y, hit;
    } cases[] = {{15, 30, -1}, {16, 30, 0},   {73, 30, 0},  {74, 30, -1}, {40, 25, -1},
                 {40, 26, 0},  {40, 44, 0},   {40, 45, -1}, {40, 50, -1}, {40, 51, 1},
                 {40, 176, 6}, {40, 195, -1}, {-3, 30, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(HitOptButton(200, c.x, c.y), c.hit) << c.x << "," << c.y;
}

TEST(PlayerPanelGeometry, SlotsAndClocks) {
    const PanelLayout l(700);
    EXPECT_EQ(l.origin[0], QPoint(25, 137));
    EXPECT_EQ(l.origin[1], QPoint(25, 327));
    EXPECT_EQ(l.name(0), QPoint(25, 172));
    EXPECT_EQ(l.net(1), QPoint(62, 327));
    EXPECT_EQ(l.flag(0), QPoint(95, 137));
    EXPECT_EQ(l.clockA(0), QPoint(38, 215));
    EXPECT_EQ(l.clockA(1), QPoint(38, 398));
    EXPECT_EQ(l.clockB(1), QPoint(38, 443));
    EXPECT_EQ(l.scoreText(), QPoint(46, 293));
}

TEST(startTable, WrongWordCountOrTokenShowsTheErrorAndEnds) {
    const QStringList nine = {launchToken(), "127.0.0.1", "1",  "中国象棋", "a_1",
                              "x",           "y",         "me", "1"};
    const struct {
        QStringList words;
        const char* text;
    } cases[] = {
        {nine.mid(0, 8), "1号错误，无法正常启动游戏！"},
        {nine + QStringList{"ten"}, "1号错误，无法正常启动游戏！"},
        {QStringList{"WRONG"} + nine.mid(1), "2号错误，无法正常启动游戏！"},
        {QStringList{launchToken().toLower()} + nine.mid(1), "2号错误，无法正常启动游戏！"},
    };
    for (const auto& c : cases) {
        ClientState state;
        QString title, text;
        auto window =
            startTable(state, c.words, "/opt/hall/game", [&](const QString& t, const QString& m) {
                title = t;
                text = m;
            });
        EXPECT_EQ(window, nullptr);
        EXPECT_EQ(title, "游戏提示");
        EXPECT_EQ(text, c.text);
    }
}

TEST(MainWindow, PanesFollowTheLayoutRules) {
    WindowFixture f;
    f.window->resize(1600, 900);
    f.window->layOutPanes();
    const int split = f.window->vSplitLeft();
    EXPECT_EQ(f.window->gamePane().geometry(), QRect(5, 27, split - 6, 900 - 32));
    const int x = split + 12 + 2, r = 1600 - split - 12 - 2 - 6;
    EXPECT_EQ(f.window->controlPanel().geometry(), QRect(x, 60, r, 270 - 60));
    EXPECT_EQ(f.window->userList().geometry().top(), 275);
    EXPECT_TRUE(f.window->controlPanel().isVisibleTo(f.window.get()));
    // The narrowest window still has the right pane, 140 pixels from the splitter on.
    f.window->resize(640, 700);
    f.window->layOutPanes();
    EXPECT_TRUE(f.window->controlPanel().isVisibleTo(f.window.get()));
    EXPECT_GE(640 - f.window->vSplitLeft(), 140);
    EXPECT_GE(f.window->vSplitLeft(), 200);
}

TEST(MainWindow, ChatShowsMarkupAsText) {
    WindowFixture f;
    f.window->table().chat.showRelayed(
        {"甲", "所有人", "12:00:00", "<a href='x'>点我</a><b>粗</b>", "#000000", "0", "0", ""});
    EXPECT_TRUE(f.window->chat().shownText().contains("<a href='x'>点我</a><b>粗</b>"));
}

TEST(MainWindow, CloseAsksOnlyDuringAGameAndUnloadsOnce) {
    WindowFixture f;
    f.window->close();
    EXPECT_EQ(f.unloads, 1);
    EXPECT_TRUE(f.state.session.blnAppQuit);
    f.window->unloadMainWindow();
    EXPECT_EQ(f.unloads, 1);
}

TEST(MainWindow, TheHelpButtonOpensOneHelpWindowInChinese) {
    WindowFixture f;
    f.window->show();
    auto* strip = f.window->findChild<UserButtonStrip*>();
    ASSERT_NE(strip, nullptr);
    emit strip->clicked(1);
    emit strip->clicked(1);
    const auto windows = f.window->findChildren<HelpWindow*>();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows.first()->isVisible());
    EXPECT_EQ(windows.first()->windowTitle(), "中国象棋 帮助");
    for (const char* part : {"在本桌下棋", "悔棋", "象棋规则简介", "蹩马腿", "按键", "强退"})
        EXPECT_TRUE(windows.first()->text().contains(QString::fromUtf8(part))) << part;
    // The version a user reports a fault against.
    EXPECT_TRUE(
        windows.first()->text().contains(QStringLiteral("xqtable ") + QLatin1String(kVersion)));
}

// Chosen from the table during a game: a .drak or a PGN opens in the replay window; a file that
// cannot be read is told and opens nothing.
TEST(MainWindow, TheReplayCommandOpensEitherRecordKindAndTellsWhatItCannotRead) {
    QTemporaryDir dir;
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile file(dir.filePath(QString::fromUtf8(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    struct Case {
        QString path;
        int moves;         // in the replay window, or -1 when nothing may open
        const char* told;  // the start of the message, if any
    };
    const std::vector<Case> cases = {
        {write("two.drak", "119#19#116#0\r\n22#2#18#0\r\n"), 2, ""},
        {write("three.pgn", "[Game \"Chinese Chess\"]\n\n1. h2e2 h9g7 2. h0g2 *\n"), 3, ""},
        {write("hand.pgn", "1. 炮二平五 马８进７ *\n"), 2, ""},
        {write("bad.pgn", "1. h2e2 h2e2 *\n"), -1, "走不了"},
        {write("bad.drak", "not a record\r\n"), -1, "无法读入"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        WindowFixture f;
        QString told;
        f.window->tellOpenFailure = [&](const QString& text) { told = text; };
        FileDialogAnswer chooser(c.path);
        f.window->openReplayFromFile();
        EXPECT_TRUE(chooser.answered()) << "the file dialog opened";
        if (c.moves < 0) {
            EXPECT_EQ(f.window->replayWindow(), nullptr);
            EXPECT_TRUE(told.contains(QString::fromUtf8(c.told))) << told.toStdString();
            continue;
        }
        EXPECT_TRUE(told.isEmpty()) << told.toStdString();
        ASSERT_NE(f.window->replayWindow(), nullptr);
        EXPECT_EQ(qiPuUpperBound(f.window->replayWindow()->model().history()), c.moves);
        EXPECT_EQ(f.window->replayWindow()->model().file(), c.path);
    }
}

TEST(MainWindow, OneUserSettingsWindowAtATime) {
    WindowFixture f;
    f.window->show();
    auto* strip = f.window->findChild<UserButtonStrip*>();
    ASSERT_NE(strip, nullptr);
    const auto dialogs = [&] { return f.window->findChildren<UserSetDialog*>(); };
    emit strip->clicked(0);
    ASSERT_EQ(dialogs().size(), 1);
    QPointer<UserSetDialog> first = dialogs().first();
    f.window->activateWindow();
    QCoreApplication::processEvents();
    emit strip->clicked(0);
    QCoreApplication::processEvents();
    ASSERT_EQ(dialogs().size(), 1) << "the second click opens no second window";
    EXPECT_EQ(dialogs().first(), first.data());
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(QApplication::activeWindow(), first.data()) << "it is brought to the front";

    // Once it is closed, the button opens a new one.
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    emit strip->clicked(0);
    EXPECT_EQ(dialogs().size(), 1);
    EXPECT_TRUE(dialogs().first()->isVisible());
}

TEST(GameSetDialog, KeysCountDownAndWarnings) {
    WindowFixture f;
    Table& table = f.window->table();
    table.openGameSet(true, "100`1000`10`5`50`0`0`30`0`0`30");
    GameSetDialog* dialog = f.window->gameSetDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "中国象棋 游戏设置");
    EXPECT_EQ(dialog->frame()->title(), "你是桌主，请进行本桌游戏设置");
    EXPECT_FALSE(dialog->box(0)->isReadOnly());
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);

    QLineEdit* stake = dialog->box(0);
    stake->setFocus();
    stake->setCursorPosition(3);
    for (const auto& [key, text] : std::vector<std::pair<int, QString>>{
             {Qt::Key_A, "a"}, {Qt::Key_Return, "\r"}, {Qt::Key_Minus, "-"}, {Qt::Key_5, "5"}}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(stake, &press);
    }
    EXPECT_EQ(stake->text(), "1005") << "only the digit got through";
    stake->setText("5");
    emit stake->textEdited("5");

    QString warning;
    dialog->showWarning = [&](const QString& w) { warning = w; };
    dialog->pressButton(0);
    EXPECT_EQ(warning, "本桌大小必须在 10 和 1000 之间！");
    EXPECT_TRUE(f.sent.empty());
    ASSERT_NE(f.window->gameSetDialog(), nullptr) << "the dialog stays open";

    table.gameSet.txtUser[0] = "100";
    for (int i = 0; i < 20; ++i)
        dialog->tick();
    EXPECT_EQ(dialog->button(0)->text(), "确定 1");
    dialog->tick();
    EXPECT_EQ(f.sent.size(), 1u) << "the count-down confirms by itself";
    EXPECT_EQ(f.window->gameSetDialog(), nullptr);
}

TEST(GameSetDialog, RefusedAtTheEndTheCountDownWaitsForTheOwner) {
    WindowFixture f;
    Table& table = f.window->table();
    table.openGameSet(true, "5`1000`10`5`50`0`0`30`0`0`30");
    GameSetDialog* dialog = f.window->gameSetDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->countingDown());
    QStringList warnings;
    dialog->showWarning = [&](const QString& w) { warnings << w; };

    // The owner's own press before the end: warned, and the count-down goes on.
    dialog->pressButton(0);
    EXPECT_EQ(warnings.size(), 1);
    EXPECT_TRUE(dialog->countingDown());

    // Left alone, the count-down presses once at its end and then waits.
    for (int i = 0; i < 21; ++i)
        dialog->tick();
    EXPECT_EQ(warnings.size(), 2);
    EXPECT_FALSE(dialog->countingDown());
    for (int i = 0; i < 5; ++i)
        dialog->tick();
    EXPECT_EQ(warnings.size(), 2) << "no warning every second";
    EXPECT_EQ(dialog->button(0)->text(), "确定") << "no count left on the button";
    EXPECT_TRUE(f.sent.empty());
    ASSERT_EQ(f.window->gameSetDialog(), dialog);

    // The owner mends the stake and confirms.
    dialog->box(0)->setText("10");
    emit dialog->box(0)->textEdited("10");
    dialog->button(0)->click();
    ASSERT_EQ(f.sent.size(), 1u);
    EXPECT_EQ(f.sent[0],
              tablemsg::encode(tablemsg::OwnerSettings{"红方", "10`1000`10`5`50`0`0`30`0`0`30"}));
}

// However text reaches a box (pasted, dropped), only digits get in, and the model only ever
// holds what the box shows.
TEST(GameSetDialog, OnlyDigitsReachTheBoxes) {
    WindowFixture f;
    Table& table = f.window->table();
    table.openGameSet(true, "100`1000`10`5`50`0`0`30`0`0`30");
    GameSetDialog* dialog = f.window->gameSetDialog();
    ASSERT_NE(dialog, nullptr);
    const auto drop = [](QLineEdit* edit, const QString& text) {
        QMimeData data;
        data.setText(text);
        const QPoint end(edit->width() - 2, edit->height() / 2);
        QDragEnterEvent enter(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &enter);
        QDragMoveEvent move(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &move);
        QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &drop);
    };
    const auto paste = [](QLineEdit* edit, const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        edit->paste();
    };
    const auto ctrlV = [](QLineEdit* edit, const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, "\x16");
        QApplication::sendEvent(edit, &press);
    };
    const struct {
        const char* how;
        std::function<void(QLineEdit*, const QString&)> enter;
        const char* text;
        const char* shown;  // box 2 held "0" before
    } cases[] = {
        {"ctrl+v", ctrlV, "7", "07"},
        {"ctrl+v", ctrlV, "7x", "0"},
        {"paste", paste, "7", "07"},
        {"paste", paste, "7x", "0"},
        {"paste", paste, "-5", "0"},
        {"paste", paste, "１", "0"},
        {"paste", paste, "12345678", "01234567"},
        {"drop", drop, "9", "09"},
        {"drop", drop, "abc", "0"},
        {"drop", drop, "3 4", "0"},
    };
    for (const auto& c : cases) {
        QLineEdit* box = dialog->box(2);
        box->setText("0");
        table.gameSet.txtUser[2] = "0";
        box->setCursorPosition(1);
        c.enter(box, QString::fromUtf8(c.text));
        EXPECT_EQ(box->text(), QString::fromUtf8(c.shown)) << c.how << " " << c.text;
        EXPECT_EQ(table.gameSet.txtUser[2], box->text()) << c.how << " " << c.text;
    }
}

// Escape and the window's close button answer like Cancel / Refuse, whatever has the focus; the
// count-down then has nothing left to agree to.
TEST(GameSetDialog, EscapeAndCloseMeanCancelOrRefuse) {
    const auto escape = [](QWidget* target) {
        target->setFocus();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, "\x1b");
        QApplication::sendEvent(target, &press);
    };
    const struct {
        bool owner;
        const char* how;
    } cases[] = {{true, "escape in a box"},  {true, "escape on a button"},  {true, "close"},
                 {false, "escape in a box"}, {false, "escape on a button"}, {false, "close"}};
    for (const auto& c : cases) {
        WindowFixture f;
        Table& table = f.window->table();
        table.openGameSet(c.owner, "100`1000`10`5`50`0`0`30`0`0`30");
        QPointer<GameSetDialog> dialog = f.window->gameSetDialog();
        ASSERT_NE(dialog, nullptr);
        const std::string how = c.how;
        if (how == "escape in a box") escape(dialog->box(0));
        if (how == "escape on a button") escape(dialog->button(0));
        if (how == "close") dialog->close();
        ASSERT_EQ(f.sent.size(), 1u) << c.owner << " " << c.how;
        EXPECT_EQ(f.sent[0], tablemsg::encode(tablemsg::Leave{"红方"})) << c.owner << " " << c.how;
        EXPECT_FALSE(table.gameSetOpen());
        EXPECT_EQ(f.window->gameSetDialog(), nullptr);
        EXPECT_FALSE(dialog->isVisible());
        for (int i = 0; i < 25 && dialog; ++i)
            dialog->tick();
        EXPECT_EQ(f.sent.size(), 1u) << "no answer on the user's behalf later";
    }
}

// Closed by the program (the table lets it go, or the main window unloads), the dialog sends
// nothing of its own: not when the stage ends under it (the other player leaves, the table is
// reset or waits for players again), nor when it is closed afterwards, nor by its count-down.
TEST(GameSetDialog, ClosedByTheProgramSendsNothing) {
    using xq::test::Bytes;
    const QString terms = QStringLiteral("100`1000`10`5`50`0`0`30`0`0`30");
    const auto row = [](const QString& name, int chair) {
        return QStringList{name, "1", "1000", "1000", "",  "3", "66",
                           "0",  "2", "1",    "0",    "0", "0", QString::number(chair),
                           "0",  "0"}
            .join(u'`');
    };
    const struct {
        const char* name;
        bool owner;
        QByteArray end;  // what the server sends; nothing: the failed fill or the unload below
    } cases[] = {
        {"a failed fill", true, {}},
        {"the window unloads", true, {}},
        {"the other player leaves", true, Text({110, 0}, "黑方")},
        {"the owner leaves", false, Text({110, 0}, "黑方")},
        {"the table is reset", false, Bytes({130, 1})},
        {"the table waits for players", true, Text({111, 0}, "1`0`0`0`0")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WindowFixture f;
        f.window->show();
        Table& table = f.window->table();
        table.DoRoomMsg(Text({130, 3}, "红方`红方"));
        const int mine = c.owner ? 0 : 1;
        table.DoRoomMsg(Text({130, 2}, row("红方", mine) + u'\n' + row("黑方", 1 - mine)));
        table.DoRoomMsg(Text({111, 0}, (c.owner ? QStringLiteral("1`0`0`1`0`1`0`")
                                                : QStringLiteral("1`1`0`0`0`1`1`")) +
                                           terms));
        QPointer<GameSetDialog> dialog = f.window->gameSetDialog();
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(dialog->isVisible());
        dialog->tick();
        const std::string name = c.name;
        if (name == "the window unloads") {
            f.window->unloadMainWindow();
        } else if (name == "a failed fill") {
            // A new settings message that cannot be shown: the table drops the dialog.
            table.openGameSet(true, "1`2`3");
            f.sent.clear();  // the leave of the failed fill itself
        } else {
            table.DoRoomMsg(c.end);
        }
        EXPECT_FALSE(table.gameSetOpen());
        EXPECT_EQ(f.window->gameSetDialog(), nullptr);
        if (dialog) {
            EXPECT_FALSE(dialog->isVisible()) << "closed at once";
            for (int i = 0; i < 25; ++i)
                dialog->tick();
            dialog->reject();  // as Escape would, had it still reached the dialog
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(dialog.isNull());
        EXPECT_TRUE(f.sent.empty());
        if (name != "a failed fill") {
            EXPECT_FALSE(table.leftTable());
        }
    }
}

// The server refuses the owner's terms with a notice and then sends the terms again: the notice
// stays in front of the settings dialog that comes back, and a notice that arrives while the
// dialog is up is in front of it too. When the dialog goes first, the notice stays.
TEST(GameSetDialog, NoticesStayInFrontOfIt) {
    const QString terms = QStringLiteral("100`1000`10`5`50`0`0`30`0`0`30");
    for (const bool dialogFirst : {false, true}) {
        WindowFixture f;
        f.window->show();
        Table& table = f.window->table();
        if (dialogFirst) table.openGameSet(true, terms);
        QWindow* owner = nullptr;
        QWindow* dialogWindow = nullptr;
        QPointer<GameSetDialog> dialog;
        bool noticeOutlivesDialog = false;
        QTimer::singleShot(0, [&] {
            if (!dialogFirst) table.openGameSet(true, terms);  // the terms again
            dialog = f.window->gameSetDialog();
            const QList<MsgBox*> open = f.window->boxes().openBoxes();
            if (dialog != nullptr && open.size() == 1) {
                dialogWindow = dialog->windowHandle();
                owner = open[0]->windowHandle()->transientParent();
                // The dialog answers (its count-down, say) while the notice is up.
                dialog->pressButton(1);
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                noticeOutlivesDialog = dialog.isNull() && f.window->boxes().openBoxes().size() == 1;
            }
            table.msgs.CloseMsgObjects(0);
        });
        table.DoGameMsg(Text({24}, QStringLiteral("桌主设置无效：本桌大小")));
        ASSERT_NE(dialogWindow, nullptr) << dialogFirst;
        EXPECT_EQ(owner, dialogWindow) << dialogFirst;
        EXPECT_TRUE(noticeOutlivesDialog) << dialogFirst;
        EXPECT_EQ(f.sent.back(), tablemsg::encode(tablemsg::Leave{"红方"}));
    }
}

// The table may drop the dialog while its warning waits (terms that cannot be shown arrive): the
// warning goes with the dialog, and nothing is left to touch either.
TEST(GameSetDialog, DroppedWhileItsWarningWaits) {
    WindowFixture f;
    f.window->show();
    Table& table = f.window->table();
    table.openGameSet(true, "5`1000`10`5`50`0`0`30`0`0`30");
    QPointer<GameSetDialog> dialog = f.window->gameSetDialog();
    ASSERT_NE(dialog, nullptr);
    bool warningShown = false;
    QTimer::singleShot(0, [&] {
        warningShown = QApplication::activeModalWidget() != nullptr;
        table.openGameSet(true, "1`2`3");
    });
    QTimer::singleShot(2000, [] {  // only if the warning were left behind
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    dialog->pressButton(0);  // the real warning box
    EXPECT_TRUE(warningShown);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ASSERT_EQ(f.sent.size(), 1u);
    EXPECT_EQ(f.sent[0], tablemsg::encode(tablemsg::Leave{"红方"}))
        << "the leave of the failed fill, no more";
}

}  // namespace
}  // namespace xq

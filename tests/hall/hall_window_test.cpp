#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTextBlock>
#include <QToolTip>

#include "../support/eventually.h"
#include "../support/fake_hall_server.h"
#include "../support/recording_launcher.h"
#include "hall/hall_options.h"
#include "hall_test_places.h"
#include "hallui/hall_chat.h"
#include "hallui/hall_window.h"
#include "hallui/table_cell.h"
#include "startup/command_line.h"
#include "version/version.h"

namespace xq::hall {
namespace {

using test::Eventually;

// The hall as main() puts it together, started with a command line, against a fake server
// whose table 1 has a player in seat 0 and whose table 2 has a game with two players.
struct Room {
    test::FakeHallServer server{6};
    test::RecordingLauncher launcher;
    HallClient client{launcher};
    HallWindow window{client, kHallDir};

    explicit Room(const QString& name = QStringLiteral("张三")) {
        server.seat(1, 0, QStringLiteral("李四"), 1500);
        server.setTable(
            TableRow{2, {QStringLiteral("王五"), QStringLiteral("赵六")}, {3000, 150}, 3, true});
        HallCommandLine line;
        EXPECT_TRUE(
            line.parse({QStringLiteral("xqhall"), QStringLiteral("--server"),
                        QStringLiteral("127.0.0.1:%1").arg(server.port()), QStringLiteral("--name"),
                        name, QStringLiteral("--ticket"), QStringLiteral("c0ffee")},
                       kHallDir));
        client.setTableClient(line.options().tableClient);
        client.setTicket(line.options().ticket);
        window.setLoginValues(line.options().name, line.options().host, line.options().port);
        window.resize(1000, 680);
        window.show();
    }

    TableGrid& grid() { return window.room().grid(); }
    bool logIn() {
        QTest::mouseClick(&window.loginBox().loginButton(), Qt::LeftButton);
        return Eventually([&] { return window.showsRoom() && !client.model().tables().isEmpty(); });
    }
    QString seatTip(int table, int seat) {
        return grid().toolTipAt(grid().seatRect(table, seat).center());
    }
    void doubleClickSeat(int table, int seat) {
        QTest::mouseDClick(&grid(), Qt::LeftButton, {}, grid().seatRect(table, seat).center());
    }
    void doubleClickTable(int table) {
        const QPoint board = grid().tableRect(table).topLeft() + table_cell::boardRect().center();
        QTest::mouseDClick(&grid(), Qt::LeftButton, {}, board);
    }
    bool statusSays(const QString& text) {
        return Eventually([&] { return window.room().status().text().contains(text); });
    }
};

QStringList ExpectedWords(quint16 port) {
    return {launchToken(),
            QStringLiteral("127.0.0.1"),
            QString::number(port),
            QStringLiteral("中国象棋"),
            QStringLiteral(
                "长工_100`短工_200`佃农_500`贫农_1000`中农_2000`富农_4000`地主_8000`恶霸_12000"),
            QStringLiteral("-"),
            QStringLiteral("-"),
            QStringLiteral("张三"),
            QStringLiteral("1")};
}

TEST(HallWindow, ShowsTheRoomAndSeatsTheUserAtAFreeSeat) {
    Room room;
    ASSERT_TRUE(room.logIn());
    EXPECT_EQ(room.window.windowTitle(), QStringLiteral("中国象棋大厅 - 张三"));
    // The cards show who sits where, with their titles.
    EXPECT_TRUE(room.seatTip(1, 0).contains(QStringLiteral("李四")));
    EXPECT_TRUE(room.seatTip(1, 0).contains(QStringLiteral("贫农")));
    EXPECT_TRUE(room.seatTip(1, 1).contains(QStringLiteral("空座")));
    EXPECT_TRUE(room.seatTip(2, 1).contains(QStringLiteral("赵六")));
    const QString table2 = room.grid().toolTipAt(room.grid().tableRect(2).topLeft() +
                                                 table_cell::boardRect().center());
    EXPECT_TRUE(table2.contains(QStringLiteral("对局中"))) << table2.toStdString();
    EXPECT_TRUE(table2.contains(QStringLiteral("旁观 3 人"))) << table2.toStdString();
    EXPECT_EQ(room.window.room().players().nameAt(0), QStringLiteral("张三"));

    room.doubleClickSeat(1, 1);
    ASSERT_TRUE(Eventually([&] { return !room.launcher.launches.isEmpty(); }));
    const auto reserve = room.server.last<in::Reserve>();
    ASSERT_TRUE(reserve);
    EXPECT_EQ(reserve->table, 1);
    EXPECT_EQ(reserve->place, Place::Seat1);
    ASSERT_EQ(room.launcher.launches.size(), 1);
    EXPECT_EQ(room.launcher.launches[0].program, kHallDir + QStringLiteral("/game/xqtable"));
    EXPECT_EQ(room.launcher.launches[0].arguments, ExpectedWords(room.server.port()));
    EXPECT_TRUE(room.statusSays(QStringLiteral("第 1 桌")));

    // The server's table rows change the cards.
    ASSERT_TRUE(Eventually([&] { return room.seatTip(1, 1).contains(QStringLiteral("张三")); }));
    // His own seat asks for that seat again (the way back when his table window is gone), not
    // to watch.
    const int asked = room.server.count<in::Reserve>();
    room.doubleClickSeat(1, 1);
    ASSERT_TRUE(Eventually([&] { return room.server.count<in::Reserve>() == asked + 1; }));
    EXPECT_EQ(room.server.last<in::Reserve>()->place, Place::Seat1);
    room.server.seat(3, 0, QStringLiteral("钱七"), 9000);
    ASSERT_TRUE(Eventually([&] { return room.seatTip(3, 0).contains(QStringLiteral("钱七")); }));
    EXPECT_TRUE(room.seatTip(3, 0).contains(QStringLiteral("地主")));
}

// The help menu's About names the program and the version a user reports a fault against.
TEST(HallWindow, TheHelpMenuTellsTheVersion) {
    Room room;
    QStringList menus;
    for (QAction* a : room.window.menuBar().actions())
        menus << a->text();
    EXPECT_TRUE(menus.contains(QStringLiteral("帮助(&A)"))) << menus.join(u' ').toStdString();
    EXPECT_TRUE(
        HallWindow::aboutText().contains(QStringLiteral("xqhall ") + QLatin1String(kVersion)))
        << HallWindow::aboutText().toStdString();
}

TEST(HallWindow, WatchesATableAndShowsARefusal) {
    Room room;
    ASSERT_TRUE(room.logIn());
    room.doubleClickTable(2);
    ASSERT_TRUE(Eventually([&] { return room.launcher.launches.size() == 1; }));
    EXPECT_EQ(room.server.last<in::Reserve>()->table, 2);
    EXPECT_EQ(room.server.last<in::Reserve>()->place, Place::Watch);
    EXPECT_EQ(room.launcher.launches[0].arguments, ExpectedWords(room.server.port()));
    EXPECT_TRUE(room.statusSays(QStringLiteral("旁观")));

    // A taken seat is a way to watch, too; already watching, the server says no.
    room.doubleClickSeat(1, 0);
    EXPECT_TRUE(room.statusSays(QStringLiteral("你已经在第 2 桌")));
    EXPECT_EQ(room.server.last<in::Reserve>()->table, 1);
    EXPECT_EQ(room.server.last<in::Reserve>()->place, Place::Watch);
    EXPECT_EQ(room.launcher.launches.size(), 1);

    // A double click between the cards asks for nothing.
    const int asked = room.server.count<in::Reserve>();
    QTest::mouseDClick(&room.grid(), Qt::LeftButton, {}, QPoint(2, 2));
    QTest::qWait(50);
    EXPECT_EQ(room.server.count<in::Reserve>(), asked);
}

TEST(HallWindow, LosingTheServerBringsBackTheLoginBox) {
    Room room;
    ASSERT_TRUE(room.logIn());
    room.server.closeAll();
    ASSERT_TRUE(Eventually([&] { return !room.window.showsRoom(); }));
    EXPECT_EQ(room.window.loginBox().message().text(), QStringLiteral("与大厅服务器的连接已断开"));
    EXPECT_TRUE(room.window.loginBox().loginButton().isEnabled());
    // The user can log in again at once.
    ASSERT_TRUE(room.logIn());
}

TEST(HallWindow, TheLoginBoxSaysWhatIsWrong) {
    const struct {
        const char* what;
        QString name;
        bool serverDown;
        QString message;
    } cases[] = {
        {"a blank in the name", QStringLiteral("张 三"), false,
         QStringLiteral("用户名不能含有空格")},
        {"no name", QString(), false, QStringLiteral("请输入用户名")},
        {"the name is in the hall", QStringLiteral("王五"), false,
         QStringLiteral("用户名 王五 已在大厅")},
        {"nobody listens", QStringLiteral("张三"), true, QStringLiteral("无法连接到大厅服务器")},
    };
    for (const auto& c : cases) {
        Room room;
        room.server.addPlayer(
            PlayerRow{QStringLiteral("王五"), 10003, 3000, 0, 0, 0, 0, 0, 1, 2, Place::Seat0});
        room.window.loginBox().nameEdit().setText(c.name);
        if (c.serverDown) {
            QTcpServer probe;
            ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
            room.window.loginBox().portEdit().setText(QString::number(probe.serverPort()));
        }
        QTest::mouseClick(&room.window.loginBox().loginButton(), Qt::LeftButton);
        EXPECT_TRUE(Eventually([&] {
            return room.window.loginBox().message().text() == c.message &&
                   room.window.loginBox().loginButton().isEnabled();
        })) << c.what
            << ": " << room.window.loginBox().message().text().toStdString();
        EXPECT_FALSE(room.window.showsRoom()) << c.what;
    }
}

TEST(HallWindow, TheLoginBoxLogsInToAnAccountOrRegistersOne) {
    Room room;
    room.server.useAccounts();
    room.server.addAccount(QStringLiteral("张三"), QStringLiteral("secret"));
    LoginBox& box = room.window.loginBox();
    EXPECT_EQ(box.passwordEdit().echoMode(), QLineEdit::Password);
    EXPECT_FALSE(box.againEdit().isVisibleTo(&box));
    const auto logInWith = [&](const QString& password) {
        box.passwordEdit().setText(password);
        QTest::mouseClick(&box.loginButton(), Qt::LeftButton);
    };
    // The server's refusals are shown as they come.
    const struct {
        QString password, message;
    } refusals[] = {{"wrong", "用户名或密码错误"},
                    {"", "本房间需要账号：请输入密码登录，或先注册"}};
    for (const auto& c : refusals) {
        logInWith(c.password);
        EXPECT_TRUE(Eventually([&] {
            return box.message().text() == c.message && box.loginButton().isEnabled();
        })) << box.message().text().toStdString();
    }

    // Registering: the password twice; a mismatch is told before anything is sent.
    box.modeButton().click();
    EXPECT_TRUE(box.registering());
    EXPECT_TRUE(box.againEdit().isVisibleTo(&box));
    EXPECT_EQ(box.againEdit().echoMode(), QLineEdit::Password);
    EXPECT_EQ(box.loginButton().text(), QStringLiteral("注册"));
    box.nameEdit().setText(QStringLiteral("新人"));
    box.passwordEdit().setText(QStringLiteral("pass1"));
    box.againEdit().setText(QStringLiteral("pass2"));
    const int hellos = room.server.hellos.size();
    QTest::keyClick(&box.againEdit(), Qt::Key_Return);
    EXPECT_EQ(box.message().text(), QStringLiteral("两次输入的密码不一致"));
    QTest::qWait(50);
    EXPECT_EQ(room.server.hellos.size(), hellos);

    box.againEdit().setText(QStringLiteral("pass1"));
    QTest::mouseClick(&box.loginButton(), Qt::LeftButton);
    ASSERT_TRUE(Eventually([&] { return room.window.showsRoom(); }));
    EXPECT_EQ(room.server.passwordOf(QStringLiteral("新人")), QStringLiteral("pass1"));
    EXPECT_EQ(room.window.windowTitle(), QStringLiteral("中国象棋大厅 - 新人"));
    // The passwords are not left in the box, and it is back to logging in.
    EXPECT_TRUE(box.password().isEmpty());
    EXPECT_TRUE(box.passwordAgain().isEmpty());
    EXPECT_FALSE(box.registering());
    EXPECT_TRUE(room.window.changePasswordAction().isEnabled());
}

TEST(HallWindow, ThePasswordIsChangedThroughItsDialog) {
    Room room;
    room.server.useAccounts();
    room.server.addAccount(QStringLiteral("张三"), QStringLiteral("old-one"));
    EXPECT_FALSE(room.window.changePasswordAction().isEnabled()) << "not logged in";
    room.window.loginBox().passwordEdit().setText(QStringLiteral("old-one"));
    ASSERT_TRUE(room.logIn());
    room.window.changePasswordAction().trigger();
    ASSERT_TRUE(Eventually([&] { return room.window.passwordDialog() != nullptr; }));
    PasswordDialog& dialog = *room.window.passwordDialog();
    const auto submit = [&](const QString& oldPassword, const QString& newPassword,
                            const QString& again) {
        dialog.oldEdit().setText(oldPassword);
        dialog.newEdit().setText(newPassword);
        dialog.againEdit().setText(again);
        dialog.buttons().button(QDialogButtonBox::Ok)->click();
    };
    const struct {
        QString oldPassword, newPassword, again, message;
    } cases[] = {
        {"old-one", "new-one", "new-two", "新密码：两次输入的密码不一致"},
        {"", "new-one", "new-one", "请输入原密码"},
        {"old-one", "old-one", "old-one", "新密码与原密码相同"},
        {"wrong", "new-one", "new-one", "原密码错误"},  // the server's answer
    };
    for (const auto& c : cases) {
        submit(c.oldPassword, c.newPassword, c.again);
        EXPECT_TRUE(Eventually([&] { return dialog.message().text() == c.message; }))
            << dialog.message().text().toStdString();
    }
    EXPECT_EQ(room.server.count<in::ChangePassword>(), 1);
    EXPECT_TRUE(dialog.oldEdit().isEnabled()) << "ready for another try";

    QPointer<PasswordDialog> open = &dialog;
    submit(QStringLiteral("old-one"), QStringLiteral("new-one"), QStringLiteral("new-one"));
    ASSERT_TRUE(Eventually([&] { return open.isNull(); }));
    EXPECT_EQ(room.server.passwordOf(QStringLiteral("张三")), QStringLiteral("new-one"));
    EXPECT_TRUE(room.statusSays(QStringLiteral("密码已修改")));

    // A guest has no password to change.
    Room guests;
    ASSERT_TRUE(guests.logIn());
    EXPECT_FALSE(guests.window.changePasswordAction().isEnabled());
}

// A name given on the command line is shown as given, whatever its length, so that what the
// login sends or refuses is what the user sees: too long, it is refused, not cut to another name.
// Typed names stop at the longest a name may be.
TEST(HallWindow, TheLoginBoxShowsTheGivenNameWhole) {
    const auto cursorX = [](QLineEdit& edit, int position) {
        edit.setCursorPosition(position);
        edit.grab();  // painting is where the box scrolls its text to keep the cursor in view
        return edit.inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
    };
    const struct {
        const char* what;
        int length;
        QString message;  // empty: the login goes through
    } cases[] = {
        {"a name of 32 characters", 32, {}},
        {"a name of 33 characters", 33, QStringLiteral("用户名太长：最多 32 个字符")},
        {"a name of 40 characters", 40, QStringLiteral("用户名太长：最多 32 个字符")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString name(c.length, u'张');
        Room room(name);
        QLineEdit& edit = room.window.loginBox().nameEdit();
        EXPECT_EQ(edit.text(), name);
        const int start = cursorX(edit, 0);
        EXPECT_NEAR(cursorX(edit, c.length) - start, edit.fontMetrics().horizontalAdvance(name), 1)
            << "the whole name is in view";
        if (c.message.isEmpty()) {
            EXPECT_TRUE(room.logIn());
            EXPECT_EQ(room.client.userName(), name);
            continue;
        }
        QTest::mouseClick(&room.window.loginBox().loginButton(), Qt::LeftButton);
        EXPECT_EQ(room.window.loginBox().message().text(), c.message);
        EXPECT_FALSE(room.window.showsRoom());
    }
    // Typing stops at 32 characters.
    Room room(QString{});
    QLineEdit& edit = room.window.loginBox().nameEdit();
    edit.setFocus();
    QTest::keyClicks(&edit, QString(40, u'a'));
    EXPECT_EQ(edit.text(), QString(32, u'a'));
}

TEST(HallWindow, TheHallChatSendsWithEnterAndShowsWhatIsSaid) {
    Room room;
    ASSERT_TRUE(room.logIn());
    HallChat& chat = room.window.room().chat();
    chat.input().setFocus();
    chat.input().setText(QStringLiteral("你好 <b>大家</b>"));
    QTest::keyClick(&chat.input(), Qt::Key_Return);
    ASSERT_TRUE(Eventually([&] {
        return chat.log().toPlainText().contains(QStringLiteral("张三：你好 <b>大家</b>"));
    }));
    EXPECT_TRUE(chat.input().text().isEmpty());

    // Blanks alone are not sent; a line too long stays in the edit and the log says why.
    chat.input().setText(QStringLiteral("   "));
    QTest::keyClick(&chat.input(), Qt::Key_Return);
    const QString tooLong(1500, u'棋');
    chat.input().setMaxLength(32767);
    chat.input().setText(tooLong);
    QTest::keyClick(&chat.input(), Qt::Key_Return);
    EXPECT_EQ(chat.input().text(), tooLong);
    EXPECT_TRUE(chat.log().toPlainText().contains(QStringLiteral("发言太长")));
    QTest::qWait(50);
    EXPECT_EQ(room.server.count<in::Say>(), 1);

    // Notices from the server are set apart in the log.
    room.server.sendToAll(hall::notice(QStringLiteral("发言太快，请稍后再说")));
    ASSERT_TRUE(Eventually([&] {
        return chat.log().toPlainText().contains(QStringLiteral("【系统】发言太快，请稍后再说"));
    }));
}

// Whatever a server relays, one line said is one line of the log.
TEST(HallWindow, TheHallChatShowsEachLineAsOneLine) {
    const QString fake = QStringLiteral("李四：我认输");
    const struct {
        const char* what;
        QString speaker;
        QString text;
        QString shown;
    } cases[] = {
        {"LF", "张三", "好\n" + fake, "张三：好 " + fake},
        {"CR", "张三", "好\r" + fake, "张三：好 " + fake},
        {"CRLF", "张三", "好\r\n" + fake, "张三：好 " + fake},  // blanks run together
        {"U+2028", "张三", QStringLiteral("好\u2028") + fake, "张三：好 " + fake},
        {"U+2029", "张三", QStringLiteral("好\u2029") + fake, "张三：好 " + fake},
        {"a break in the speaker", "张三\n【系统】", "好", "张三 【系统】：好"},
    };
    for (const auto& c : cases) {
        HallChat chat;
        chat.addLine(c.speaker, c.text);
        const QTextDocument& shown = *chat.log().document();
        EXPECT_EQ(shown.blockCount(), 1) << c.what;
        EXPECT_EQ(shown.firstBlock().text(), c.shown) << c.what;
    }
}

// Names and the server's words are text: markup in them shows as the characters it is made of.
TEST(HallWindow, MarkupInANameShowsAsText) {
    Room room(QStringLiteral("<b>甲</b>"));
    ASSERT_TRUE(room.logIn());
    const QLabel& welcome = room.window.room().welcome();
    ASSERT_TRUE(welcome.text().contains(QStringLiteral("<b>甲</b>")));
    EXPECT_GE(welcome.sizeHint().width(), welcome.fontMetrics().horizontalAdvance(welcome.text()))
        << "the tags are shown, not read";
    // A seat's tip is written so that the tooltip shows it as it is.
    room.server.seat(3, 0, QStringLiteral("<i>乙</i>"), 900);
    ASSERT_TRUE(
        Eventually([&] { return room.seatTip(3, 0).contains(QStringLiteral("<i>乙</i>")); }));
    QHelpEvent help(QEvent::ToolTip, room.grid().seatRect(3, 0).center(),
                    room.grid().mapToGlobal(room.grid().seatRect(3, 0).center()));
    QApplication::sendEvent(&room.grid(), &help);
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("&lt;i&gt;乙&lt;/i&gt;")))
        << QToolTip::text().toStdString();
    QToolTip::hideText();
}

TEST(HallWindow, Picture) {
    Room room;
    room.server.seat(3, 1, QStringLiteral("孙八"), 12500);
    room.server.setTable(TableRow{4, {QStringLiteral("周九"), {}}, {650, 0}, 1, false});
    // The people at the tables are in the hall too, with the scores the tables show.
    const struct {
        const char* name;
        int score, face, table;
        Place place;
    } people[] = {{"李四", 1500, 3, 1, Place::Seat0}, {"王五", 3000, 7, 2, Place::Seat0},
                  {"赵六", 150, 11, 2, Place::Seat1}, {"孙八", 12500, 15, 3, Place::Seat1},
                  {"周九", 650, 19, 4, Place::Seat0}, {"吴十", 4200, 22, 4, Place::Watch}};
    int n = 0;
    for (const auto& p : people) {
        ++n;
        room.server.addPlayer(PlayerRow{QString::fromUtf8(p.name), 10010 + n, p.score, 20 + n, 10,
                                        8, n, n % 2, p.face, p.table, p.place});
    }
    ASSERT_TRUE(room.logIn());
    room.server.sendToAll(hall::chatLine(QStringLiteral("李四"), QStringLiteral("有人下一盘吗？")));
    room.server.sendToAll(hall::chatLine(QStringLiteral("王五"), QStringLiteral("第二桌正在激战")));
    ASSERT_TRUE(Eventually([&] { return room.client.model().players().rowCount() == 7; }));
    QTest::qWait(100);
    const QImage picture = room.window.grab().toImage();
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(picture.save(QStringLiteral(XQ_TEST_SCREENSHOT)));
}

}  // namespace
}  // namespace xq::hall

// The whole room for real: the room server with its database, the hall window, and the table
// client the hall starts, each the program a user runs.

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "../support/server_process.h"
#include "hall/table_launcher.h"
#include "hall_test_places.h"
#include "hallui/hall_window.h"
#include "hallui/table_cell.h"

namespace xq::hall {
namespace {

using test::Eventually;

struct HallUser {
    ProcessLauncher launcher;
    HallClient client{launcher};
    HallWindow window{client, kHallDir};

    HallUser(const QString& name, quint16 port) {
        client.setTableClient(kHallDir + QStringLiteral("/game/xqtable"));
        window.setLoginValues(name, QStringLiteral("127.0.0.1"), port);
        window.resize(1000, 680);
        window.show();
    }
    ~HallUser() {
        // The table windows this test started end with it.
        for (QProcess* p : launcher.findChildren<QProcess*>()) {
            p->kill();
            p->waitForFinished(5000);
        }
    }
    // A new account, through the login box's other mode: the password twice.
    bool registerAs(const QString& password) {
        LoginBox& box = window.loginBox();
        if (!box.registering()) box.modeButton().click();
        box.passwordEdit().setText(password);
        box.againEdit().setText(password);
        QTest::mouseClick(&box.loginButton(), Qt::LeftButton);
        return Eventually([&] { return window.showsRoom() && !client.model().tables().isEmpty(); });
    }
    void doubleClickSeat(int table, int seat) {
        TableGrid& grid = window.room().grid();
        QTest::mouseDClick(&grid, Qt::LeftButton, {}, grid.seatRect(table, seat).center());
    }
    QString seatName(int table, int seat) {
        const TableRow* row = client.model().table(table);
        return row ? row->names[static_cast<std::size_t>(seat)] : QStringLiteral("?");
    }
    void closeTableWindows() {
        for (QProcess* p : launcher.findChildren<QProcess*>())
            p->kill();
    }
};

TEST(RoomEndToEnd, AHallUserSitsDownWithTheComputerAndTheSeatIsFreeAgainWhenTheWindowEnds) {
    QTemporaryDir dir;
    test::ServerProcess server({QStringLiteral("--tables"), QStringLiteral("3"),
                                QStringLiteral("--bot"), QStringLiteral("--bot-level"),
                                QStringLiteral("1"), QStringLiteral("--db"),
                                dir.filePath(QStringLiteral("room.db"))});
    ASSERT_NE(server.port(), 0);
    HallUser zhang(QStringLiteral("张三"), server.port());
    ASSERT_TRUE(zhang.registerAs(QStringLiteral("zhang-pass")));
    HallUser li(QStringLiteral("李四"), server.port());
    ASSERT_TRUE(li.registerAs(QStringLiteral("li-pass")));

    // The real table window sits down where the hall reserved, with the ticket of the grant it
    // found in its environment (a room of accounts takes no other); the computer takes the other
    // seat.
    zhang.doubleClickSeat(1, 0);
    EXPECT_TRUE(Eventually(
        [&] { return server.log().contains("table 1: login 张三 takes seat 0"); }, 60000));
    EXPECT_TRUE(Eventually(
        [&] { return server.log().contains("table 1: login 象棋机器人 takes seat 1"); }, 20000));
    // Both hall windows follow.
    EXPECT_TRUE(Eventually([&] { return li.seatName(1, 1) == QStringLiteral("象棋机器人"); }));
    EXPECT_EQ(li.seatName(1, 0), QStringLiteral("张三"));
    EXPECT_EQ(zhang.client.model().ownRow()->table, 1);
    EXPECT_EQ(zhang.window.room().status().text(), QStringLiteral("你在第 1 桌"));

    // A second hall user watches that table through his own table window.
    QTest::mouseDClick(
        &li.window.room().grid(), Qt::LeftButton, {},
        li.window.room().grid().tableRect(1).topLeft() + table_cell::boardRect().center());
    EXPECT_TRUE(
        Eventually([&] { return server.log().contains("table 1: login 李四 watches"); }, 60000));
    EXPECT_TRUE(Eventually([&] {
        const TableRow* row = zhang.client.model().table(1);
        return row && row->spectators == 1;
    }));

    // The table window goes away: the seat is free again in the hall, and he is at no table.
    zhang.closeTableWindows();
    EXPECT_TRUE(Eventually([&] { return li.seatName(1, 0).isEmpty(); }, 20000));
    EXPECT_TRUE(Eventually([&] { return zhang.client.model().ownRow()->table == 0; }));
    EXPECT_EQ(zhang.window.room().status().text(), QStringLiteral("双击空座入座，双击桌子旁观"))
        << "nothing left saying the table is being opened";
    if (HasFailure()) server.dumpLog();
}

}  // namespace
}  // namespace xq::hall

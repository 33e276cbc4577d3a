// The programs as the packages lay them out, unpacked under XQ_INSTALLED_ROOT: the installed
// server, a table window drawing with the installed skins and sounds and started with the
// installed launch token, and the installed table client itself watching, through a short game
// against an opponent that answers at once. Run by tests/tools/installed_game_test.sh.

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSet>
#include <QUuid>

#include "../support/move_policies.h"
#include "../support/quick_opponent.h"
#include "quick_play_checks.h"

namespace xq {
namespace {

using namespace xq::test;

constexpr int kWaitMs = 30000;

// How many colours a picture has: a board drawn with its wood and pieces has thousands, one
// drawn without its pictures a handful.
int Colours(const QImage& image) {
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            seen.insert(image.pixel(x, y));
    return static_cast<int>(seen.size());
}

TEST(InstalledGame, AShortGameThroughTheInstalledProgramsWithTheInstalledClientWatching) {
    const QString root = qEnvironmentVariable("XQ_INSTALLED_ROOT");
    ASSERT_FALSE(root.isEmpty()) << "XQ_INSTALLED_ROOT names the root the packages are unpacked in";
    const QString bin = root + QStringLiteral("/usr/bin/");
    const QString game = root + QStringLiteral("/usr/libexec/xqtable/hall/game");
    QFile tokenFile(game + QStringLiteral("/launch-token"));
    ASSERT_TRUE(tokenFile.open(QIODevice::ReadOnly));
    const QString token = QString::fromUtf8(tokenFile.readAll()).trimmed();

    ServerProcess server({}, bin + QStringLiteral("xqtable-server"));
    ASSERT_NE(server.port(), 0) << server.log().constData();
    WindowPlayer me(QStringLiteral("棋手"), server.port(), game);
    ASSERT_TRUE(me.window);
    QStringList soundPaths;
    QObject::connect(me.window.get(), &MainWindow::soundRequested,
                     [&soundPaths](const QString& path) { soundPaths << path; });
    QuickOpponent quick(QStringLiteral("快手"), server.port());
    quick.resignAfter = 4;  // two moves of each side: a rated game
    BoxAnswerer boxes;
    ASSERT_TRUE(Eventually(
        [&] { return me.state.session.SeatUsers[1].strUserName == QStringLiteral("快手"); },
        kWaitMs));

    // The installed client, started with the words a hall gives, as a third comer: it watches.
    QProcess watcher;
    watcher.setProgram(bin + QStringLiteral("xqtable"));
    watcher.setArguments({token, QStringLiteral("127.0.0.1"), QString::number(server.port()),
                          QStringLiteral("中国象棋"), QStringLiteral("长工_100`短工_200"),
                          QUuid::createUuid().toString(QUuid::WithoutBraces), QStringLiteral("-"),
                          QStringLiteral("看客"), QStringLiteral("1")});
    watcher.setProcessChannelMode(QProcess::ForwardedChannels);
    const auto end = qScopeGuard([&] {
        watcher.kill();
        watcher.waitForFinished(10000);
        if (::testing::Test::HasFailure()) server.dumpLog();
    });
    watcher.start();
    ASSERT_TRUE(watcher.waitForStarted(10000)) << watcher.errorString().toStdString();
    ASSERT_TRUE(
        Eventually([&] { return server.log().contains("login 看客 watches 棋手"); }, kWaitMs))
        << server.log().constData();

    StartFirstGame(me, kWaitMs);
    if (::testing::Test::HasFatalFailure()) return;
    for (int turn = 0; turn < 10; ++turn) {
        ASSERT_TRUE(Eventually([&] { return me.myTurn() || me.game().blnNoGame; }, kWaitMs))
            << "turn " << turn;
        // A player looks before he clicks: a resignation right behind the move comes first.
        Eventually([] { return false; }, 100);
        if (me.game().blnNoGame) break;
        Move m;
        ASSERT_TRUE(LongestMove(me.game().bteQiPan, me.mySide(), m));
        me.play(m);
    }
    ASSERT_TRUE(Eventually([&] { return server.log().contains("game over: 快手 loses"); }, kWaitMs))
        << server.log().constData();
    ASSERT_TRUE(Eventually(
        [&] {
            return me.game().lngWinCount == std::array<std::int32_t, 2>{1, 0};
        },
        kWaitMs));
    EXPECT_EQ(qiPuUpperBound(me.game().finishedGame), 4);

    // The window drew with the installed pictures and asked for the installed sounds.
    EXPECT_GT(Colours(me.window->gamePane().board().grab().toImage()), 1000);
    ASSERT_FALSE(soundPaths.isEmpty());
    for (const QString& path : soundPaths) {
        EXPECT_TRUE(path.startsWith(game + QStringLiteral("/Sound/"))) << path.toStdString();
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    }

    // The watching client stayed through the game and all it was sent, and is still there.
    Eventually([] { return false; }, 300);
    EXPECT_EQ(watcher.state(), QProcess::Running);
    const QByteArray log = server.log();
    EXPECT_FALSE(log.contains("spectator 看客 left")) << log.constData();
    EXPECT_FALSE(log.contains("connection of 看客 lost")) << log.constData();
    watcher.terminate();
    EXPECT_TRUE(watcher.waitForFinished(10000));
    EXPECT_TRUE(Eventually([&] { return server.log().contains("spectator 看客 left"); }, kWaitMs));
}

}  // namespace
}  // namespace xq

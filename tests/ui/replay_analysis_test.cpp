// The replay window's engine analysis, through its widgets and the real event loop: the real
// Fairy-Stockfish where it is installed, a scripted engine otherwise, and the rule that a player
// gets no engine while his own game runs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include "../support/eventually.h"
#include "../support/scripted_engine.h"
#include "game/game_state.h"
#include "prefs/engine_choice.h"
#include "prefs/user_settings.h"
#include "replay/replay_window.h"
#include "rules/history.h"
#include "startup/session.h"

namespace xq {
namespace {

using test::Eventually;

struct AnalysisFixture {
    explicit AnalysisFixture(const QString& engine) {
        session.strAppPath = QStringLiteral("/nonexistent/game/");
        session.blnLookOn = false;
        game.bteRedView = 1;
        game.blnNoGame = true;
        window = std::make_unique<ReplayWindow>(session, game, settings);
        window->tellFailure = [](const QString&) {};
        window->analysis().useEngine(engine);
        window->open(QiPuHistory{QiPuItem{}}, {});
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    QString summary() { return window->analysis().summary().text(); }

    Session session;
    GameState game;
    UserSettings settings;
    std::unique_ptr<ReplayWindow> window;
};

TEST(ReplayAnalysisTest, TheEngineFindsTheMateAndAClickPlaysItsLine) {
    const QString engine = installedFairyStockfish();
    if (engine.isEmpty()) GTEST_SKIP() << "fairy-stockfish is not installed";
    AnalysisFixture f(engine);
    f.window->setUpFen(QStringLiteral("4k4/1R7/9/9/9/9/9/9/9/R2K5 w"));
    QTest::mouseClick(&f.window->analysis().toggle(), Qt::LeftButton);
    ASSERT_TRUE(f.window->analysis().toggle().isChecked());
    ASSERT_TRUE(Eventually([&] { return f.summary().contains(QStringLiteral("红 1 步杀")); }))
        << f.summary().toStdString();
    EXPECT_TRUE(f.summary().contains(QStringLiteral("深度")));
    QListWidget& lines = f.window->analysis().lines();
    ASSERT_TRUE(Eventually([&] { return lines.count() == 3; }));
    EXPECT_TRUE(lines.item(0)->text().startsWith(QStringLiteral("红 1 步杀  车九进九")))
        << lines.item(0)->text().toStdString();
    // A click on the best line plays it: the game has a move, and black is mated.
    QTest::mouseClick(lines.viewport(), Qt::LeftButton, {},
                      lines.visualItemRect(lines.item(0)).center());
    EXPECT_EQ(f.window->model().step(), 1);
    EXPECT_EQ(f.window->model().moves(), 1);
    ASSERT_TRUE(Eventually([&] { return f.summary() == QStringLiteral("此局面无着可走"); }))
        << f.summary().toStdString();
    QTest::mouseClick(&f.window->analysis().toggle(), Qt::LeftButton);
    EXPECT_TRUE(f.window->analysis().lines().count() == 0);
}

TEST(ReplayAnalysisTest, APlayerInARunningGameGetsNoEngineUntilItEnds) {
    AnalysisFixture f(QStringLiteral(XQ_FAKE_UCI));
    f.game.blnNoGame = false;  // his game runs at the table
    // The switch says why at the next look, and cannot be turned on.
    ASSERT_TRUE(Eventually([&] { return !f.window->analysis().toggle().isEnabled(); }, 3000));
    EXPECT_EQ(f.summary(), QStringLiteral("对局进行中，棋手不能使用引擎分析"));
    QTest::mouseClick(&f.window->analysis().toggle(), Qt::LeftButton);
    EXPECT_FALSE(f.window->analysis().toggle().isChecked());
    // The game ends: the engine is free.
    f.game.blnNoGame = true;
    ASSERT_TRUE(Eventually([&] { return f.window->analysis().toggle().isEnabled(); }, 3000));
    QTest::mouseClick(&f.window->analysis().toggle(), Qt::LeftButton);
    ASSERT_TRUE(Eventually([&] { return f.window->analysis().lines().count() > 0; }));
    EXPECT_TRUE(f.window->analysis().lines().item(0)->text().contains(QStringLiteral("炮二平五")));
    // A game that starts again while it thinks switches it off.
    f.game.blnNoGame = false;
    ASSERT_TRUE(Eventually([&] { return !f.window->analysis().toggle().isChecked(); }, 3000));
    EXPECT_EQ(f.window->analysis().lines().count(), 0);
    // A spectator may always.
    f.session.blnLookOn = true;
    ASSERT_TRUE(Eventually([&] { return f.window->analysis().toggle().isEnabled(); }, 3000));
}

TEST(ReplayAnalysisTest, WithoutAnEngineTheSwitchSaysSo) {
    AnalysisFixture f(QString{});
    QTest::mouseClick(&f.window->analysis().toggle(), Qt::LeftButton);
    EXPECT_TRUE(f.summary().contains(QStringLiteral("没有可用的分析引擎")))
        << f.summary().toStdString();
    AnalysisFixture broken(QStringLiteral("/nonexistent/engine"));
    QTest::mouseClick(&broken.window->analysis().toggle(), Qt::LeftButton);
    ASSERT_TRUE(Eventually([&] {
        return broken.summary().contains(QStringLiteral("引擎无法使用"));
    })) << broken.summary().toStdString();
}

TEST(ReplayAnalysisTest, TheWholeGameIsGoneThroughAndItsMistakesMarked) {
    // Scores for the side to move after 0..4 moves; from red's side 20, 20, 150, -200, -190:
    // black's second move a mistake, red's third a blunder.
    const test::ScriptedEngine engine(
        {QStringLiteral("--scores"), QStringLiteral("20,-20,150,200,-190")});
    AnalysisFixture f(engine.path());
    QiPuHistory h{QiPuItem{}};
    AddQiPu(h, 7, 7, 19, 7, 4, 0);  // 炮二平五
    AddQiPu(h, 0, 7, 2, 2, 6, 0);   // 马8进7
    AddQiPu(h, 9, 7, 18, 7, 6, 0);  // 马二进三
    AddQiPu(h, 0, 1, 2, 2, 2, 0);   // 马2进3
    f.window->open(h, {});
    AnalysisPane& pane = f.window->analysis();
    pane.timeBox().setCurrentIndex(0);
    QTest::mouseClick(&pane.wholeGameButton(), Qt::LeftButton);
    ASSERT_TRUE(Eventually([&] { return f.summary().startsWith(QStringLiteral("全局分析完成")); }))
        << f.summary().toStdString();
    EXPECT_EQ(f.summary(), QStringLiteral("全局分析完成：失误 1 步，严重失误 1 步"));
    EXPECT_FALSE(pane.progress().isVisible());
    EXPECT_EQ(pane.wholeGameButton().text(), QStringLiteral("全局分析"));
    const QStringList lines = f.window->model().list().lines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_FALSE(lines[0].endsWith(u'?'));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" ?"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral(" ??"))) << lines[2].toStdString();
    EXPECT_EQ(pane.graph().scores(), (std::vector<int>{20, 20, 150, -200, -190}));
    // A click at the graph's left end goes to the start; the marks stay with the game.
    QTest::mouseClick(&pane.graph(), Qt::LeftButton, {}, QPoint(2, pane.graph().height() / 2));
    EXPECT_EQ(f.window->model().step(), 0);
    EXPECT_TRUE(f.window->model().list().lines()[2].endsWith(QStringLiteral(" ??")));
    // A move of one's own replaces the rest of the game, and what was said about it.
    // Here: an engine line played from the start, as a click on it plays it.
    emit pane.lineChosen({Move{static_cast<std::uint8_t>(squareOf(9, 1)),
                               static_cast<std::uint8_t>(squareOf(7, 2))}});
    EXPECT_EQ(f.window->model().list().lines().size(), 1);
    EXPECT_FALSE(f.window->model().list().lines()[0].endsWith(u'?'));
    EXPECT_TRUE(pane.graph().scores().empty()) << "the graph was of the other game";
}

TEST(ReplayAnalysisTest, AWholeGameAnalysisCanBeStopped) {
    const test::ScriptedEngine engine({QStringLiteral("--think-ms"), QStringLiteral("400")});
    AnalysisFixture f(engine.path());
    QiPuHistory h{QiPuItem{}};
    AddQiPu(h, 7, 7, 19, 7, 4, 0);
    AddQiPu(h, 0, 7, 2, 2, 6, 0);
    f.window->open(h, {});
    AnalysisPane& pane = f.window->analysis();
    QTest::mouseClick(&pane.wholeGameButton(), Qt::LeftButton);
    EXPECT_TRUE(pane.progress().isVisible());
    EXPECT_EQ(pane.wholeGameButton().text(), QStringLiteral("停止"));
    QTest::mouseClick(&pane.wholeGameButton(), Qt::LeftButton);
    EXPECT_EQ(f.summary(), QStringLiteral("全局分析已停止"));
    EXPECT_FALSE(pane.progress().isVisible());
    EXPECT_EQ(pane.wholeGameButton().text(), QStringLiteral("全局分析"));
}

TEST(ReplayAnalysisTest, TheEngineChosenIsUsedAndKept) {
    QTemporaryDir config;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    const test::ScriptedEngine engine({});
    AnalysisFixture f(QString{});
    AnalysisPane& pane = f.window->analysis();
    QTemporaryFile text;
    ASSERT_TRUE(text.open());
    text.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    pane.askProgram = [&] { return text.fileName(); };
    QTest::mouseClick(&pane.engineButton(), Qt::LeftButton);
    EXPECT_TRUE(f.summary().endsWith(QStringLiteral("不是可以运行的程序")))
        << f.summary().toStdString();
    pane.askProgram = [&] { return engine.path(); };
    QTest::mouseClick(&pane.engineButton(), Qt::LeftButton);
    EXPECT_EQ(analysisEngine(), QFileInfo(engine.path()).absoluteFilePath());
    QTest::mouseClick(&pane.toggle(), Qt::LeftButton);
    ASSERT_TRUE(Eventually([&] { return pane.lines().count() > 0; }));
    EXPECT_TRUE(pane.summary().text().contains(QStringLiteral("Fake Pikafish")))
        << pane.summary().text().toStdString();
    setAnalysisEngine({});
}

}  // namespace
}  // namespace xq

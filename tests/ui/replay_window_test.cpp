#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "game/game_state.h"
#include "prefs/user_settings.h"
#include "records/record_file.h"
#include "records/replay_window.h"
#include "startup/session.h"

namespace xq {
namespace {

struct ReplayFixture {
    ReplayFixture() {
        session.strAppPath = "/nonexistent/game/";
        game.bteRedView = 1;
        window = new ReplayWindow(session, game, settings);
        window->askFileName = [this](const QString&, bool, const QString&) { return fileName; };
        window->askOverwrite = [this](const QString&) { return overwrite; };
        window->tellFailure = [this](const QString& text) { failures << text; };
        QiPuHistory h{QiPuItem{}};
        AddQiPu(h, 7, 7, 19, 7, 4, 0);
        AddQiPu(h, 0, 1, 2, 2, 2, 0);
        AddQiPu(h, 9, 7, 18, 7, 6, 0);
        window->open(h, {});
    }
    ~ReplayFixture() { delete window; }

    Session session;
    GameState game;
    UserSettings settings;
    ReplayWindow* window;
    QString fileName;
    bool overwrite = true;
    QStringList failures;
};

TEST(ReplayWindow, NavigationButtonsAndAutoPlay) {
    ReplayFixture f;
    EXPECT_EQ(f.window->hitNavButton(QPoint(593, 320)), 0);
    EXPECT_EQ(f.window->hitNavButton(QPoint(592, 320)), -1) << "edges are outside";
    EXPECT_EQ(f.window->hitNavButton(QPoint(593 + 22 * 4, 337)), 4);
    f.window->pressNav(0);
    EXPECT_EQ(f.window->model().step(), 1);
    f.window->pressNav(3);
    EXPECT_EQ(f.window->model().step(), 2);
    f.window->pressNav(4);
    EXPECT_EQ(f.window->model().step(), 3);
    // Auto-play at the last move only stops at its first tick.
    f.window->pressNav(2);
    EXPECT_TRUE(f.window->autoPlaying());
    f.window->autoPlayTick();
    EXPECT_FALSE(f.window->autoPlaying());
    EXPECT_EQ(f.window->model().step(), 3);
}

TEST(ReplayWindow, ExportWritesTheWholeListAndAskesBeforeOverwriting) {
    ReplayFixture f;
    QTemporaryDir dir;
    f.fileName = dir.filePath("game.txt");
    f.window->pressNav(0);  // stepping back does not shorten the export
    f.window->command(3)->click();
    QFile text(f.fileName);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(text.readAll(), TextRecordBytes(f.window->model().list().lines()));
    EXPECT_EQ(f.window->model().list().count(), 3);
    text.close();

    // No to the overwrite question leaves the file as it was.
    QFile::remove(f.fileName);
    QFile existing(f.fileName);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep");
    existing.close();
    f.overwrite = false;
    f.window->command(3)->click();
    f.fileName = dir.filePath("game.drak");
    QFile::copy(dir.filePath("game.txt"), f.fileName);
    f.window->command(1)->click();
    QFile kept(dir.filePath("game.txt"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "keep");
    QFile keptRecord(f.fileName);
    ASSERT_TRUE(keptRecord.open(QIODevice::ReadOnly));
    EXPECT_EQ(keptRecord.readAll(), "keep");

    // Saving into a folder that does not exist is told.
    f.fileName = dir.filePath("no/such/game.drak");
    f.window->command(1)->click();
    ASSERT_EQ(f.failures.size(), 1);
    EXPECT_TRUE(f.failures[0].startsWith("棋谱保存失败："));
}

TEST(ReplayWindow, OpenAndRestoreReadAFileAndLeaveTheGameOnFailure) {
    ReplayFixture f;
    QTemporaryDir dir;
    QiPuHistory one{QiPuItem{}};
    AddQiPu(one, 6, 0, 23, 5, 0, 0);
    ASSERT_TRUE(SaveQiPuFile(dir.filePath("one.drak"), one));
    f.fileName = dir.filePath("one.drak");
    f.window->command(2)->click();
    EXPECT_EQ(f.window->model().moves(), 1);
    EXPECT_EQ(f.window->model().file(), f.fileName);
    // A broken file does not replace the game shown.
    QFile broken(dir.filePath("broken.drak"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("1#2#3\r\n");
    broken.close();
    f.fileName = broken.fileName();
    f.window->command(2)->click();
    EXPECT_EQ(f.window->model().moves(), 1);
    // Restore reads the remembered file again, dropping the user's own moves.
    f.window->model().click(3, 0);
    f.window->model().click(4, 0);
    EXPECT_EQ(f.window->model().moves(), 2);
    f.window->command(0)->click();
    EXPECT_EQ(f.window->model().moves(), 1);
}

}  // namespace
}  // namespace xq

#include <gtest/gtest.h>

#include <unistd.h>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTranslator>

#include "../support/file_dialog_answer.h"
#include "game/game_state.h"
#include "look/app_translations.h"
#include "prefs/user_settings.h"
#include "replay/replay_window.h"
#include "startup/session.h"
#include "ui/record_file_dialog.h"

namespace xq {
namespace {

using test::FileDialogAnswer;

TEST(RecordFileDialog, SuggestsBothPlayersAndTheDate) {
    const QDateTime when(QDate(2026, 12, 8), QTime(9, 5));
    const struct {
        QString red, black, extension, name;
    } cases[] = {
        {"张三", "李四", "drak", "张三对李四_20261208-0905.drak"},
        {"a/b", "c:d*", "txt", "a_b对c_d__20261208-0905.txt"},
        {"", "", "drak", "中国象棋_20261208-0905.drak"},
        {"张三", "", "drak", "张三对_20261208-0905.drak"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(suggestedRecordName(c.red, c.black, when, c.extension), c.name);
}

TEST(RecordFileDialog, StartsWhereTheLastFileWentAndRemembersItBetweenRuns) {
    QTemporaryDir app, records;
    ASSERT_TRUE(app.isValid() && records.isValid());
    RecordFolder first(app.path());
    EXPECT_EQ(first.folder(), recordsHome()) << "nothing used yet";

    // The user saves into the records folder; the suggested name is offered.
    QString shownFolder, shownName;
    QPointer<QFileDialog> open;
    const QString chosen = records.filePath("我的棋局.drak");
    FileDialogAnswer save(chosen);
    save.look = [&](QFileDialog& d) {
        EXPECT_EQ(&d, open.data()) << "the dialog is handed out while it is open";
        shownFolder = d.directory().absolutePath();
        shownName = d.selectedFiles().value(0);
    };
    const QString path = AskFileName(
        nullptr,
        {"保存 中国象棋 文件", "中国象棋文件(*.drak)", true, "张三对李四_20261208-0905.drak"},
        first, &open);
    EXPECT_TRUE(save.answered());
    EXPECT_EQ(path, chosen);
    EXPECT_EQ(shownFolder, recordsHome());
    EXPECT_TRUE(shownName.endsWith("张三对李四_20261208-0905.drak")) << shownName.toStdString();
    EXPECT_TRUE(open.isNull());

    // The next run starts there; a folder that is gone sends it back to the records folder.
    RecordFolder next(app.path());
    EXPECT_EQ(next.folder(), QFileInfo(chosen).absolutePath());
    FileDialogAnswer cancel;
    cancel.look = [&](QFileDialog& d) { shownFolder = d.directory().absolutePath(); };
    EXPECT_TRUE(
        AskFileName(nullptr, {"打开", "中国象棋文件(*.drak)", false, {}}, next, &open).isEmpty());
    EXPECT_TRUE(cancel.answered());
    EXPECT_EQ(shownFolder, QFileInfo(chosen).absolutePath());
    EXPECT_EQ(next.folder(), QFileInfo(chosen).absolutePath()) << "a cancel changes nothing";
    records.remove();
    EXPECT_EQ(next.folder(), recordsHome());
}

// A home folder of the test's own while it lives, so that a documents folder can be there or not.
struct OwnHome {
    OwnHome() : home(qgetenv("HOME")), config(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("HOME", dir.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", dir.filePath(".config").toUtf8());  // no user-dirs.dirs
    }
    ~OwnHome() {
        qputenv("HOME", home);
        if (config.isEmpty()) {
            qunsetenv("XDG_CONFIG_HOME");
        } else {
            qputenv("XDG_CONFIG_HOME", config);
        }
    }
    QTemporaryDir dir;
    QByteArray home, config;
};

TEST(RecordFileDialog, AFolderItCannotListAtOnceSendsTheDialogToTheRecordsFolder) {
    QTemporaryDir scratch;
    ASSERT_TRUE(QDir(scratch.path()).mkdir("in-use"));
    QFile file(scratch.filePath("a.drak"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString locked = scratch.filePath("locked");
    ASSERT_TRUE(QDir(scratch.path()).mkdir("locked"));
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::WriteOwner));
    // Root may list any folder, so for root a folder without read permission is one like others.
    const bool root = ::geteuid() == 0;
    const struct {
        const char* name;
        QString remembered;  // the file last chosen
        bool kept;
    } cases[] = {
        {"a folder in use", scratch.filePath("in-use/a.drak"), true},
        {"/proc", "/proc/cpuinfo", false},
        {"a process's folder", "/proc/self/status", false},
        {"/sys", "/sys/kernel/notes", false},
        {"a folder that is gone", scratch.filePath("gone/a.drak"), false},
        {"a folder without read permission", locked + "/a.drak", root},
        {"a file", scratch.filePath("a.drak/b.drak"), false},
        {"a folder below a file", scratch.filePath("a.drak/sub/b.drak"), false},
    };
    for (bool documents : {false, true}) {
        OwnHome home;
        if (documents) {
            ASSERT_TRUE(QDir(home.dir.path()).mkdir("Documents"));
        }
        const QString records = documents ? home.dir.filePath("Documents") : home.dir.path();
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (documents ? ", with Documents" : ", home only"));
            QTemporaryDir app;
            RecordFolder folder(app.path());
            EXPECT_EQ(folder.folder(), records) << "nothing used yet";
            folder.remember(c.remembered);
            EXPECT_EQ(folder.folder(), c.kept ? QFileInfo(c.remembered).absolutePath() : records);
        }
    }

    // The dialog itself opens there, at once.
    OwnHome home;
    ASSERT_TRUE(QDir(home.dir.path()).mkdir("Documents"));
    QTemporaryDir app;
    RecordFolder folder(app.path());
    folder.remember("/proc/self/status");
    QPointer<QFileDialog> open;
    QString shown;
    FileDialogAnswer cancel;
    cancel.look = [&](QFileDialog& d) { shown = d.directory().absolutePath(); };
    EXPECT_TRUE(
        AskFileName(nullptr, {"打开", "中国象棋文件(*.drak)", false, {}}, folder, &open).isEmpty());
    EXPECT_TRUE(cancel.answered());
    EXPECT_EQ(shown, home.dir.filePath("Documents"));

    // The replay window's own dialogs too: it keeps the folder in the same program folder.
    Session session;
    session.strAppPath = app.path() + u'/';
    GameState game;
    UserSettings settings;
    ReplayWindow replay(session, game, settings);
    shown.clear();
    FileDialogAnswer cancelReplay;
    cancelReplay.look = [&](QFileDialog& d) { shown = d.directory().absolutePath(); };
    EXPECT_TRUE(replay.askFileName("打开", false, "中国象棋文件(*.drak)").isEmpty());
    EXPECT_TRUE(cancelReplay.answered());
    EXPECT_EQ(shown, home.dir.filePath("Documents"));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(Translations, QtsOwnButtonsSpeakChinese) {
    QCoreApplication& app = *QCoreApplication::instance();
    ASSERT_TRUE(installChineseTranslations(app)) << "qt6-translations-l10n is installed by setup";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "取消");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Save"), "保存");
    // Leave the other tests the untranslated texts.
    for (QTranslator* t : app.findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
}

}  // namespace
}  // namespace xq

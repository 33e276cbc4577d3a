#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTranslator>

#include "../support/file_dialog_answer.h"
#include "ui/app_translations.h"
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
        EXPECT_EQ(SuggestedRecordName(c.red, c.black, when, c.extension), c.name);
}

TEST(RecordFileDialog, StartsWhereTheLastFileWentAndRemembersItBetweenRuns) {
    QTemporaryDir app, records;
    ASSERT_TRUE(app.isValid() && records.isValid());
    RecordFolder first(app.path());
    EXPECT_EQ(first.folder(), QDir::homePath()) << "nothing used yet";

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
    EXPECT_EQ(shownFolder, QDir::homePath());
    EXPECT_TRUE(shownName.endsWith("张三对李四_20261208-0905.drak")) << shownName.toStdString();
    EXPECT_TRUE(open.isNull());

    // The next run starts there; a folder that is gone sends it home again.
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
    EXPECT_EQ(next.folder(), QDir::homePath());
}

TEST(Translations, QtsOwnButtonsSpeakChinese) {
    QCoreApplication& app = *QCoreApplication::instance();
    ASSERT_TRUE(InstallChineseTranslations(app)) << "qt6-translations-l10n is installed by setup";
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

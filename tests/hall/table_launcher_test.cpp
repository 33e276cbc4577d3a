#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

#include "../support/eventually.h"
#include "hall/table_launcher.h"

namespace xq::hall {
namespace {

using test::Eventually;

// The child's environment is the hall's, with the variables given set and the hall's own
// handover variables (were it started with some) not passed on.
TEST(ProcessLauncher, StartsTheProgramWithItsWordsAndEnvironmentAndForgetsItWhenItEnds) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("words"));
    qputenv("XQ_TLS", "pin:of-the-hall");
    qputenv("XQ_LAUNCHER_TEST_KEPT", "kept");
    ProcessLauncher launcher;
    QSignalSpy failed(&launcher, &TableLauncher::failed);
    // Each word arrives as one argument, blanks and "`" included.
    launcher.start(QStringLiteral("/bin/sh"),
                   {QStringLiteral("-c"),
                    QStringLiteral("printf '%s\\n' \"$@\" \"$XQ_TICKET\" \"${XQ_TLS-none}\" "
                                   "\"$XQ_LAUNCHER_TEST_KEPT\" > \"$0\""),
                    out, QStringLiteral("长工_100`短工_200"), QStringLiteral("-")},
                   {{QStringLiteral("XQ_TICKET"), QStringLiteral("0123abcd")}});
    qunsetenv("XQ_TLS");
    qunsetenv("XQ_LAUNCHER_TEST_KEPT");
    ASSERT_TRUE(Eventually([&] { return launcher.running() == 0 && QFile::exists(out); }));
    EXPECT_TRUE(Eventually([&] { return launcher.findChildren<QObject*>().isEmpty(); }));
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()),
              QStringLiteral("长工_100`短工_200\n-\n0123abcd\nnone\nkept\n"));
    EXPECT_EQ(failed.count(), 0);
}

TEST(ProcessLauncher, SaysSoWhenThereIsNoProgram) {
    QTemporaryDir dir;
    const struct {
        const char* what;
        QString program;
    } cases[] = {
        {"missing", dir.filePath(QStringLiteral("game/xqtable"))},
        {"a folder", dir.path()},
    };
    for (const auto& c : cases) {
        ProcessLauncher launcher;
        QSignalSpy failed(&launcher, &TableLauncher::failed);
        launcher.start(c.program, {}, {});
        ASSERT_EQ(failed.count(), 1) << c.what;
        EXPECT_TRUE(failed.front().front().toString().contains(c.program)) << c.what;
        EXPECT_EQ(launcher.running(), 0) << c.what;
    }
}

}  // namespace
}  // namespace xq::hall

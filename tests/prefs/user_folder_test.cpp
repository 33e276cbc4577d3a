// Where the user's own files go: the program folder where he may write there, his configuration
// folder where it belongs to the system (an installed program); the settings follow.

#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "prefs/user_folder.h"
#include "prefs/user_settings.h"

namespace xq {
namespace {

// XDG_CONFIG_HOME pointed at a folder of the test's own for as long as it lives.
class OwnConfigHome {
public:
    OwnConfigHome() : old_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", home_.path().toLocal8Bit());
    }
    ~OwnConfigHome() { qputenv("XDG_CONFIG_HOME", old_); }
    QString xqtable() const { return home_.path() + QStringLiteral("/xqtable/"); }

private:
    QTemporaryDir home_;
    QByteArray old_;
};

TEST(UserFolder, TheProgramFolderWhereItMayBeWrittenElseTheConfigurationFolder) {
    const OwnConfigHome config;
    QTemporaryDir writable;
    QTemporaryDir locked;
    QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const struct {
        const char* what;
        QString program;
        QString expected;
        bool skipAsRoot;
    } cases[] = {
        {"writable, no slash", writable.path(), writable.path() + u'/', false},
        {"writable, slash", writable.path() + u'/', writable.path() + u'/', false},
        {"missing", writable.path() + QStringLiteral("/gone/"), config.xqtable(), false},
        // Root may write everywhere, as access() says.
        {"read-only", locked.path() + u'/', config.xqtable(), true},
    };
    for (const auto& c : cases) {
        if (c.skipAsRoot && ::geteuid() == 0) continue;
        EXPECT_EQ(userFilesFolder(c.program), c.expected) << c.what;
    }
    EXPECT_TRUE(QDir(config.xqtable()).exists());
    QFile::setPermissions(locked.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// An installed table client keeps the user's choices all the same, in his own folder.
TEST(UserFolder, SettingsOfAProgramInAFolderOfTheSystemAreKeptInTheUsersFolder) {
    const OwnConfigHome config;
    const QString program = QStringLiteral("/nonexistent/xqtable/hall/game/");
    UserSettings chosen;
    chosen.bteSoundOn = 0;
    chosen.bteQiPanStyle = 3;
    QString error;
    ASSERT_TRUE(SaveUserSet(chosen, program, &error)) << error.toStdString();
    EXPECT_TRUE(QFile::exists(config.xqtable() + QStringLiteral("UserSet.ini")));
    UserSettings read;
    LoadUserSet(read, program);
    EXPECT_EQ(read.bteSoundOn, 0);
    EXPECT_EQ(read.bteQiPanStyle, 3);
}

}  // namespace
}  // namespace xq

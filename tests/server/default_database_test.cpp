// The room's database without --db: beside the server where that folder may be written (as it
// always was), else in the user's data folder.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "server/default_database.h"

namespace xq::server {
namespace {

TEST(DefaultDatabase, BesideTheServerWhereItMayBeWrittenElseInTheUsersDataFolder) {
    QTemporaryDir data;
    const QByteArray old = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QTemporaryDir program;
    EXPECT_EQ(defaultDatabasePath(program.path()), program.path() + QStringLiteral("/xqtable.db"));
    EXPECT_EQ(defaultDatabasePath(QStringLiteral("/nonexistent/xqtable/hall/game")),
              data.path() + QStringLiteral("/xqtable/xqtable.db"));
    EXPECT_TRUE(QDir(data.path() + QStringLiteral("/xqtable")).exists());
    qputenv("XDG_DATA_HOME", old);
}

}  // namespace
}  // namespace xq::server

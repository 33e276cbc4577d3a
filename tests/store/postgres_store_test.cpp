#include <gtest/gtest.h>

#include "scratch_store.h"
#include "server/store/store_location.h"

namespace xq::test {
namespace {

const QStringList kNames = {QStringLiteral("甲"), QStringLiteral("乙")};

using PostgresConnectionTest = StoreTest;
INSTANTIATE_TEST_SUITE_P(Postgres, PostgresConnectionTest, ::testing::Values(Backend::Postgres),
                         backendName);

TEST_P(PostgresConnectionTest, ALostConnectionIsMadeAgainWithoutCountingTwice) {
    // The same database, named by URI this time.
    const auto location = server::parseStoreLocation(where(), nullptr);
    ASSERT_TRUE(location);
    const auto& p = location->params;
    QString error;
    auto store = server::PlayerStore::open(QStringLiteral("postgresql://%1@%2:%3/%4")
                                               .arg(p["user"], p["host"], p["port"], p["dbname"]),
                                           &error);
    ASSERT_TRUE(store) << error.toStdString();
    ASSERT_TRUE(store->isPostgres());
    for (const QString& name : kNames) {
        ASSERT_TRUE(store->enter(name, 0));
    }
    server::FinishedGame g;
    g.names = {kNames[0], kNames[1]};
    g.result = 0;
    g.scoreChange = {-5, 5};
    ASSERT_TRUE(store->record(g, nullptr));
    // The database server drops every other connection, as on its restart.
    RawDatabase admin(where());
    ASSERT_TRUE(admin.exec(
        QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
                       " WHERE pid <> pg_backend_pid() AND datname = current_database()")));
    EXPECT_TRUE(store->record(g, &error)) << error.toStdString();
    EXPECT_EQ(store->find(kNames[0])->lost, 2);
    EXPECT_EQ(store->find(kNames[1])->score, 1010);
    EXPECT_EQ(store->archivedGames(), 2);
}

TEST_P(PostgresConnectionTest, ARoleThatMayOnlyUseTheRowsRunsTheRoom) {
    ASSERT_TRUE(open());  // the owner made the schema
    const QString db = server::parseStoreLocation(where(), nullptr)->params["dbname"];
    const QString role = QStringLiteral("room_") + db;
    RawDatabase admin(where());
    for (const QString& sql :
         {QStringLiteral("CREATE ROLE %1 LOGIN"),
          QStringLiteral("REVOKE CREATE ON SCHEMA public FROM PUBLIC, %1"),
          QStringLiteral("GRANT SELECT, INSERT, UPDATE ON ALL TABLES IN SCHEMA public TO %1"),
          QStringLiteral("GRANT USAGE ON ALL SEQUENCES IN SCHEMA public TO %1")}) {
        ASSERT_TRUE(admin.exec(sql.arg(role))) << admin.lastError().toStdString();
    }
    QString error;
    auto store = server::PlayerStore::open(
        QString(where()).replace(QStringLiteral("user=xq"), QStringLiteral("user=") + role),
        &error);
    ASSERT_TRUE(store) << error.toStdString();
    ASSERT_TRUE(store->enter(QStringLiteral("甲"), 1) && store->enter(QStringLiteral("乙"), 2));
    server::FinishedGame g;
    g.names = {QStringLiteral("甲"), QStringLiteral("乙")};
    EXPECT_TRUE(store->record(g, &error)) << error.toStdString();
}

}  // namespace
}  // namespace xq::test

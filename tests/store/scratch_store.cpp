#include "scratch_store.h"

#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

#include "../support/pg_cluster.h"
#include "server/store/store_location.h"

namespace xq::test {

ScratchDatabase::ScratchDatabase(Backend backend) {
    if (backend == Backend::Sqlite) {
        where_ = dir_.path() + QStringLiteral("/room/players.db");
        return;
    }
    static std::atomic<int> made{0};
    PgCluster& cluster = sharedPgCluster();
    if (!cluster.running()) {
        unavailable_ = cluster.whyNot();
        return;
    }
    QString error;
    where_ = cluster.createDatabase(QStringLiteral("scratch_%1").arg(++made), &error);
    if (where_.isEmpty()) unavailable_ = QStringLiteral("cannot make a database: %1").arg(error);
}

RawDatabase::RawDatabase(const QString& where) {
    static std::atomic<int> made{0};
    name_ = QStringLiteral("raw_%1").arg(++made);
    const auto location = server::parseStoreLocation(where, &lastError_);
    if (!location) return;
    if (auto db = server::addStoreDatabase(*location, name_, &lastError_)) db_ = *db;
    if (db_.isValid() && !db_.open()) lastError_ = db_.lastError().text();
}

RawDatabase::~RawDatabase() {
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
}

bool RawDatabase::exec(const QString& sql) {
    QSqlQuery q(db_);
    if (q.exec(sql)) return true;
    lastError_ = q.lastError().text();
    return false;
}

QVariant RawDatabase::value(const QString& sql) {
    QSqlQuery q(db_);
    if (q.exec(sql) && q.next()) return q.value(0);
    lastError_ = q.lastError().text();
    return {};
}

void StoreTest::SetUp() {
    scratch_.emplace(GetParam());
    if (!scratch_->unavailable().isEmpty()) {
        GTEST_SKIP() << "PostgreSQL cannot run here: " << scratch_->unavailable().toStdString();
    }
}

std::unique_ptr<server::PlayerStore> StoreTest::open() {
    QString error;
    auto store = server::PlayerStore::open(where(), &error);
    EXPECT_TRUE(store) << error.toStdString();
    return store;
}

std::string backendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::Sqlite ? "Sqlite" : "Postgres";
}

}  // namespace xq::test

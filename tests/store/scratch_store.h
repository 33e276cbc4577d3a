#pragma once

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>
#include <optional>

#include "server/store/player_store.h"

namespace xq::test {

enum class Backend { Sqlite, Postgres };

// A fresh, empty database of one back end for one test: a file in a temporary folder (in a
// subfolder not made yet), or a new database on the process's throwaway PostgreSQL cluster.
class ScratchDatabase {
public:
    explicit ScratchDatabase(Backend backend);
    // Why the back end cannot be tested here; empty when it can.
    QString unavailable() const { return unavailable_; }
    QString where() const { return where_; }

private:
    QTemporaryDir dir_;
    QString where_;
    QString unavailable_;
};

// A connection of the test's own, beside the store's, to look at or damage the database directly.
class RawDatabase {
public:
    explicit RawDatabase(const QString& where);
    ~RawDatabase();
    bool exec(const QString& sql);
    QVariant value(const QString& sql);  // the first column of the first row
    QString lastError() const { return lastError_; }

private:
    QString name_;
    QSqlDatabase db_;
    QString lastError_;
};

// Every store test runs on both back ends.
class StoreTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override;
    bool postgres() const { return GetParam() == Backend::Postgres; }
    QString where() const { return scratch_->where(); }
    std::unique_ptr<server::PlayerStore> open();

private:
    std::optional<ScratchDatabase> scratch_;
};

std::string backendName(const ::testing::TestParamInfo<Backend>& info);

#define XQ_ON_BOTH_BACKENDS(Suite)                                                     \
    INSTANTIATE_TEST_SUITE_P(                                                          \
        Backends, Suite,                                                               \
        ::testing::Values(::xq::test::Backend::Sqlite, ::xq::test::Backend::Postgres), \
        ::xq::test::backendName)

}  // namespace xq::test

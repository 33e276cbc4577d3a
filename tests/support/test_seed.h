#pragma once

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QString>
#include <cstdio>
#include <string>

namespace xq::test {

// The seed of a randomised test: XQ_TEST_SEED when it is set (to replay a run), else a fresh one.
// It is printed and recorded with the test's result either way, so that any failure can be
// played again exactly.
inline quint32 TestSeed() {
    bool given = false;
    quint32 seed = qEnvironmentVariable("XQ_TEST_SEED").toUInt(&given);
    if (!given) seed = QRandomGenerator::system()->generate();
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::printf("%s.%s: seed %u (XQ_TEST_SEED=%u replays it)\n",
                test != nullptr ? test->test_suite_name() : "?",
                test != nullptr ? test->name() : "?", seed, seed);
    std::fflush(stdout);
    ::testing::Test::RecordProperty("seed", std::to_string(seed));
    return seed;
}

}  // namespace xq::test

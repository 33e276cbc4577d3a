// The store tests, and the child processes some of them start: "--store-child MODE ...".

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstring>

#include "../support/pg_cluster.h"
#include "store_child.h"

namespace {

class ClusterEnvironment : public ::testing::Environment {
public:
    void TearDown() override { xq::test::stopSharedPgCluster(); }
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--store-child") == 0) {
        return xq::test::runStoreChild(QCoreApplication::arguments().mid(2));
    }
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new ClusterEnvironment);
    return RUN_ALL_TESTS();
}

// The hall's keep-alive against the real room server, which closes a hall connection it has heard
// nothing from: the hall client stays in for as long as it likes, a connection without the
// keep-alive does not.

#include <gtest/gtest.h>

#include "../support/recording_launcher.h"
#include "../support/server_process.h"
#include "hall/hall_client.h"

namespace xq::hall {
namespace {

TEST(HallKeepAliveTest, TheHallStaysInWhileItsKeepAliveRunsAndIsClosedWithout) {
    test::ServerProcess server({QStringLiteral("--hall-idle-ms"), QStringLiteral("1500")});
    ASSERT_NE(server.port(), 0);
    const struct {
        const char* name;
        int keepAliveMs;
        bool stays;
    } cases[] = {
        {"kept", 250, true},
        {"silent", 60'000, false},
    };
    for (const auto& c : cases) {
        test::RecordingLauncher launcher;
        HallClient client{launcher};
        client.setKeepAliveInterval(c.keepAliveMs);
        ASSERT_FALSE(
            client.login(QStringLiteral("127.0.0.1"), server.port(), QString::fromLatin1(c.name)));
        ASSERT_TRUE(test::Eventually([&] { return client.state() == HallClient::State::LoggedIn; }))
            << c.name;
        // Three times as long as the server waits.
        test::Eventually([] { return false; }, 4500);
        EXPECT_EQ(client.state() == HallClient::State::LoggedIn, c.stays) << c.name;
    }
    EXPECT_TRUE(server.log().contains("nothing heard for 1500 ms")) << server.log().toStdString();
}

}  // namespace
}  // namespace xq::hall

// The caps on connections: per address (IPv6 per /64), in all, and the share of those that have
// not logged in, whose oldest make room for newcomers.

#include <gtest/gtest.h>

#include "server/connection_caps.h"

namespace xq::server {
namespace {

TEST(AddressKeyTest, IPv4AsItselfMappedAsIPv4AndIPv6ByItsSlash64) {
    const struct {
        const char* address;
        const char* key;
    } cases[] = {
        {"192.0.2.1", "192.0.2.1"},
        {"::ffff:192.0.2.1", "192.0.2.1"},
        {"2001:db8:1:2:aaaa::1", "2001:db8:1:2::/64"},
        {"2001:db8:1:2:ffff:ffff:ffff:ffff", "2001:db8:1:2::/64"},
        {"2001:db8:1:3::1", "2001:db8:1:3::/64"},
        {"::1", "::/64"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(addressKey(QHostAddress(QString::fromLatin1(c.address))),
                  QString::fromLatin1(c.key))
            << c.address;
    }
}

enum class Op { Admit, LoggedIn, Release };
struct Step {
    Op op;
    ConnId id;
    const char* from = "";
    bool admitted = true;
    QList<ConnId> evicted = {};
};

void run(ConnectionCaps& caps, const std::vector<Step>& steps) {
    int n = 0;
    for (const Step& s : steps) {
        ++n;
        switch (s.op) {
            case Op::Admit: {
                const auto a = caps.admit(s.id, QHostAddress(QString::fromLatin1(s.from)));
                EXPECT_EQ(a.admitted, s.admitted) << "step " << n << ", connection " << s.id;
                EXPECT_EQ(a.evicted, s.evicted) << "step " << n << ", connection " << s.id;
                break;
            }
            case Op::LoggedIn:
                caps.loggedIn(s.id);
                break;
            case Op::Release:
                caps.release(s.id);
                break;
        }
    }
}

TEST(ConnectionCapsTest, WaitingConnectionsMakeRoomOldestFirstLoggedInOnesNever) {
    ConnectionCaps caps({6, 3, 2, 4, false});
    const char* a = "192.0.2.1";
    const char* aMapped = "::ffff:192.0.2.1";
    run(caps, {
                  {Op::Admit, 1, a},
                  {Op::Admit, 2, aMapped},       // the same host
                  {Op::Admit, 3, a, true, {1}},  // two waiting from a: the older goes
                  {Op::LoggedIn, 2},
                  {Op::LoggedIn, 3},
                  {Op::Admit, 4, a},
                  {Op::Admit, 5, a, true, {4}},  // three from a, one waiting: it goes
                  {Op::LoggedIn, 5},
                  {Op::Admit, 6, a, false},  // three from a, all logged in
                  {Op::Release, 2},
                  {Op::Release, 2},  // twice is once
                  {Op::Admit, 7, aMapped},
                  {Op::Admit, 8, "2001:db8::1"},
                  {Op::Admit, 9, "2001:db8::ffff:1"},
                  {Op::Admit, 10, "2001:db8::2:0:0:1", true, {8}},  // the same /64
                  {Op::Admit, 11, "2001:db8:0:1::1"},               // another /64
                  // Six in all: the oldest waiting anywhere goes, from loopback too.
                  {Op::Admit, 12, "127.0.0.1", true, {7}},
                  {Op::Admit, 13, "::1", true, {9}},
                  {Op::Admit, 14, "127.0.0.1", true, {10}},
                  {Op::Admit, 15, "127.0.0.1", true, {11}},  // loopback has no cap of its own
                  {Op::LoggedIn, 12},
                  {Op::LoggedIn, 13},
                  {Op::LoggedIn, 14},
                  {Op::LoggedIn, 15},
                  {Op::Admit, 16, "192.0.2.2", false},  // six logged in
                  {Op::Release, 3},
                  {Op::Admit, 16, "192.0.2.2"},
              });
    EXPECT_EQ(caps.total(), 6);
    EXPECT_EQ(caps.pending(), 1);
    EXPECT_EQ(caps.keyOf(16), QStringLiteral("192.0.2.2"));
    EXPECT_EQ(caps.keyOf(12), QString()) << "loopback is not counted per address";
    EXPECT_EQ(caps.keyOf(7), QString()) << "evicted";
}

TEST(ConnectionCapsTest, TheWaitingShareIsKeptAndLoopbackCountsWhenAskedTo) {
    // A share of a quarter: two of ten.
    ConnectionCaps caps({10, 2, 2, 0, true});
    run(caps, {
                  {Op::Admit, 1, "127.0.0.1"},
                  {Op::Admit, 2, "127.0.0.1"},
                  {Op::Admit, 3, "127.0.0.2", true, {1}},
                  {Op::Admit, 4, "127.0.0.1", true, {2}},
                  {Op::LoggedIn, 4},
                  {Op::Admit, 5, "127.0.0.1"},
                  {Op::LoggedIn, 5},
                  {Op::Admit, 6, "127.0.0.1", false},  // two from it, both logged in
                  {Op::Release, 4},
                  {Op::Admit, 6, "127.0.0.1"},
              });
    EXPECT_EQ(caps.keyOf(6), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(caps.total(), 3);
    EXPECT_EQ(caps.pending(), 2);
}

}  // namespace
}  // namespace xq::server

#include <gtest/gtest.h>

#include "server/table_terms.h"

namespace xq::server {
namespace {

struct TermsCase {
    const char16_t* text;
    const char16_t* expect;  // the stored record, or nullptr when refused
    const char16_t* reasonPart = u"";
};

TEST(TableTermsTest, OwnerTermsAreCheckedAndTheLimitsAreTheServers) {
    const TermsCase cases[] = {
        {u"100`1000`10`5`50`0`0`30`0`0`30", u"100`1000`10`5`50`0`0`30`0`0`30"},
        // The sender's limits do not count; the server's replace them.
        {u"500`99999`1`7`9999`0`1`0`0`1`0", u"500`1000`10`7`50`0`1`0`0`1`0"},
        // Bounds are inclusive; empty boxes read as 0, leading zeros are digits.
        {u"10`1000`10`0`50`0`30`60`60`60`60", u"10`1000`10`0`50`0`30`60`60`60`60"},
        {u"1000`x`x`50`x`x`0``0`0`030", u"1000`1000`10`50`50`0`0`0`0`0`30"},
        {u"9`1000`10`5`50`0`0`30`0`0`30", nullptr, u"本桌大小"},
        {u"1001`1000`10`5`50`0`0`30`0`0`30", nullptr, u"本桌大小"},
        {u"100`1000`10`51`50`0`0`30`0`0`30", nullptr, u"逃跑者扣分"},
        {u"100`1000`10`5`50`0`31`30`0`0`30", nullptr, u"总用时的时"},
        {u"100`1000`10`5`50`0`0`61`0`0`30", nullptr, u"总用时的分"},
        {u"100`1000`10`5`50`0`0`30`61`0`30", nullptr, u"总用时的秒"},
        {u"100`1000`10`5`50`0`0`30`0`61`30", nullptr, u"每步限时的分"},
        {u"100`1000`10`5`50`0`0`30`0`0`61", nullptr, u"每步限时的秒"},
        {u"100`1000`10`5`50`0`0`0`0`0`0", nullptr, u"不能都是 0"},
        {u"100`1000`10`-5`50`0`0`30`0`0`30", nullptr, u"不是整数"},
        {u"100`1000`10`5`50`0`0`3.5`0`0`30", nullptr, u"不是整数"},
        {u"100`1000`10`5`50`0`0`9999999999`0`0`30", nullptr, u"不是整数"},
        {u"100 `1000`10`5`50`0`0`30`0`0`30", nullptr, u"不是整数"},
        {u"100`1000`10`5`50`0`0`30`0`0", nullptr, u"11"},
        {u"100`1000`10`5`50`0`0`30`0`0`30`", nullptr, u"11"},
        {u"", nullptr, u"11"},
    };
    for (const TermsCase& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        const auto result = parseOwnerTerms(text);
        if (c.expect) {
            ASSERT_TRUE(std::holds_alternative<TableTerms>(result)) << text.toStdString();
            EXPECT_EQ(std::get<TableTerms>(result).text(), QString::fromUtf16(c.expect));
        } else {
            ASSERT_TRUE(std::holds_alternative<QString>(result)) << text.toStdString();
            EXPECT_TRUE(std::get<QString>(result).contains(QString::fromUtf16(c.reasonPart)))
                << std::get<QString>(result).toStdString();
        }
    }
}

TEST(TableTermsTest, TriplesAndSecondsComeFromTheTimeFields) {
    const auto t = std::get<TableTerms>(parseOwnerTerms(u"100`0`0`5`0`0`1`2`3`4`5"));
    EXPECT_EQ(t.bankTriple(), (std::array<std::uint8_t, 3>{1, 2, 3}));
    EXPECT_EQ(t.stepTriple(), (std::array<std::uint8_t, 3>{0, 4, 5}));
    EXPECT_EQ(t.bankLimitSeconds(), 3723);
    EXPECT_EQ(t.stepAllowanceSeconds(), 245);
    EXPECT_EQ(TableTerms::defaults().text(), QStringLiteral("100`1000`10`5`50`0`0`30`0`0`30"));
}

}  // namespace
}  // namespace xq::server

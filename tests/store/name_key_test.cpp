// The key names are compared by, and the names a new player may take.
#include <gtest/gtest.h>

#include "server/store/name_key.h"

namespace xq::test {
namespace {

using server::nameKey;
using server::newNameProblem;

QString text(const char16_t* units) {
    return QString::fromUtf16(units);
}

TEST(NameKey, NamesThatLookAlikeShareAKeyAndOthersDoNot) {
    const struct {
        const char16_t* a;
        const char16_t* b;
        bool same;
    } cases[] = {
        {u"abc", u"\u0430bc", true},       // a Cyrillic а
        {u"Bob", u"\u0392\u03BFb", true},  // a Greek capital beta and omicron
        {u"Ｗ", u"W", true},               // full-width
        {u"ａｂｃ１２３", u"abc123", true},
        {u"Abc", u"abc", true},  // case
        {u"ABC", u"abc", true},
        {u"Il", u"ll", true},  // capital I and small l
        {u"rn", u"m", true},
        {u"a\u200Dbc", u"abc", true},  // a zero-width joiner inside
        {u"ab\u202Ec", u"abc", true},  // a bidi override
        {u"\uFEFFabc", u"abc", true},  // a byte order mark in front
        {u"王五", u"王伍", false},     // distinct Chinese names stay distinct
        {u"张三", u"張三", false},     // simplified and traditional are written differently
        {u"己", u"已", false},         // alike to a hurried eye; ICU keeps them apart
        {u"已", u"巳", false},
        {u"己", u"巳", false},
        {u"李四", u"李 四", false},  // a blank is seen
        {u"abc", u"abd", false},
    };
    for (const auto& c : cases) {
        const auto a = nameKey(text(c.a)), b = nameKey(text(c.b));
        ASSERT_TRUE(a && b) << text(c.a).toStdString();
        EXPECT_EQ(*a == *b, c.same) << text(c.a).toStdString() << " / " << text(c.b).toStdString()
                                    << ": " << a->toStdString() << " / " << b->toStdString();
    }
    // The key of a key is itself: a stored key never drifts from the name it was made from.
    for (const auto& c : cases) {
        const auto key = nameKey(text(c.a));
        EXPECT_EQ(nameKey(*key), key) << text(c.a).toStdString();
    }
    EXPECT_EQ(nameKey(QString()), QString());
}

TEST(NameKey, ANewNameIsRefusedForWhatCannotBeSeenOrSent) {
    const struct {
        const char16_t* name;
        bool refused;
    } cases[] = {
        {u"", true},
        {u"王\u3000五", true},  // an ideographic space
        {u"王\u00A0五", true},  // a no-break space
        {u"王 五", true},
        {u"王五 ", true},
        {u"王\t五", true},
        {u"王\u2028五", true},  // a line separator
        {u"王\u200B五", true},  // a zero-width space
        {u"王\u200D五", true},  // a zero-width joiner
        {u"王\u202E五", true},  // a right-to-left override
        {u"王\u0001五", true},
        {u"王`五", true},
        {u"王\uD55C", true},    // a Hangul syllable: no form in code page 936
        {u"\U0001F600", true},  // outside the code page, and two UTF-16 units
        {u"\uF8F5", true},      // one the code page's encoder writes unreadably
        {u"王五", false},
        {u"Bob_42", false},
        {u"O'Brien?", false},  // a question mark is itself, not a lost character
        {u"€", false},
        {u"一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二", false},   // 32
        {u"一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二三", true},  // 33
    };
    for (const auto& c : cases) {
        const QString why = newNameProblem(text(c.name));
        EXPECT_EQ(!why.isEmpty(), c.refused)
            << text(c.name).toStdString() << ": " << why.toStdString();
    }
    // The reason names what is wrong, so that a log tells which character it was.
    EXPECT_TRUE(newNameProblem(text(u"王\u3000五")).contains(QStringLiteral("U+3000")));
    EXPECT_TRUE(newNameProblem(text(u"王\u202E五")).contains(QStringLiteral("U+202E")));
    EXPECT_TRUE(newNameProblem(QString(33, u'a')).contains(QStringLiteral("32")));
}

}  // namespace
}  // namespace xq::test

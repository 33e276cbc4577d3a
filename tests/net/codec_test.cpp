#include <gtest/gtest.h>
#include <iconv.h>

#include "../support/bytes.h"
#include "net/codec.h"
#include "net/cp936.h"
#include "net/table_requests.h"

namespace xq {
namespace {

using xq::test::Bytes;

TEST(StringToCmd, HeaderThenCodePageText) {
    Cmd cmd = Bytes({9, 9});
    EXPECT_FALSE(StringToCmd("", cmd, 2, Bytes({1, 2})));
    EXPECT_EQ(cmd, Bytes({9, 9})) << "an empty text leaves the array alone";

    EXPECT_EQ(tablemsg::encode(tablemsg::Login{true}),
              Bytes({130, 0, 53, 48, 48, 96, 68, 82, 65, 75, 96, 49}));
    EXPECT_EQ(tablemsg::encode(tablemsg::Login{false}).back(), '0');

    ASSERT_TRUE(StringToCmd("中国", cmd, 0, {}));
    EXPECT_EQ(cmd, Bytes({0xD6, 0xD0, 0xB9, 0xFA}));
    EXPECT_EQ(CmdToString(cmd, 0), "中国");

    // Units without a form in the code page become one "?" each.
    ASSERT_TRUE(StringToCmd(QString::fromUtf8("a😀€₩b"), cmd, 1, Bytes({7})));
    EXPECT_EQ(cmd, Bytes({7, 'a', '?', '?', 0x80, '?', 'b'}));
}

TEST(CmdToString, ByteWalkAndBrokenEnds) {
    const struct {
        Cmd cmd;
        int start;
        const char* text;
    } cases[] = {
        {Bytes({65, 200}), 0, ""},  // a lead byte at the end spoils the whole text
        {Bytes({65, 66}), 0, "AB"},
        {Bytes({0, 0, 65, 66}), 2, "AB"},
        {Bytes({65}), 1, ""},
        {Bytes({65}), 200, ""},
        {Bytes({65}), -1, ""},
        {Bytes({0x80, 0x41}), 0, "€A"},        // 128 stands alone: the euro sign
        {Bytes({0x41, 0x80}), 0, "A€"},        // ... also in the last position
        {Bytes({0x81, 0x80}), 0, "亐"},        // but a trail byte of 128 still ends a pair
        {Bytes({0x41, 0x81}), 0, ""},          // any other lead byte at the end spoils the text
        {Bytes({0xD6, 0x30, 0x41}), 0, "?A"},  // a pair the code page leaves empty
        {Bytes({0xD6, 0xD0, 0x60, 0x41}), 0, "中`A"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CmdToString(c.cmd, c.start), QString::fromUtf8(c.text)) << c.cmd.toHex().data();
    }
}

// The euro sign is the one character above 127 that takes a single byte.
TEST(Cp936, EuroIsTheSingleByte128BothWays) {
    const struct {
        const char* text;
        Cmd bytes;
    } cases[] = {
        {"€", Bytes({0x80})},
        {"a€b", Bytes({'a', 0x80, 'b'})},
        {"x€", Bytes({'x', 0x80})},
        {"€中", Bytes({0x80, 0xD6, 0xD0})},
        {"中€", Bytes({0xD6, 0xD0, 0x80})},
        {"€€", Bytes({0x80, 0x80})},
        {"价格€5`丐€", Bytes({0xBC, 0xDB, 0xB8, 0xF1, 0x80, '5', '`', 0xD8, 0xA4, 0x80})},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(encodeCp936(text), c.bytes) << c.text;
        QString decoded = QStringLiteral("stale");
        ASSERT_TRUE(decodeCp936(c.bytes, decoded)) << c.text;
        EXPECT_EQ(decoded, text);
        // Through the message routines, behind a header as a chat line has it.
        Cmd cmd;
        ASSERT_TRUE(StringToCmd(text, cmd, 1, Bytes({1})));
        EXPECT_EQ(cmd, Bytes({1}) + c.bytes) << c.text;
        EXPECT_EQ(CmdToString(cmd, 1), text) << c.text;
    }
    // A text that ends in a real lead byte is still unreadable, euro sign or not.
    QString text;
    EXPECT_FALSE(decodeCp936(Bytes({0x80, 0xD6}), text));
    EXPECT_EQ(CmdToString(Bytes({1, 0x80, 0xD6}), 1), "");
}

TEST(Cp936, EveryEncodedTextReadsBack) {
    // U+F8F5 is the one unit the encoder gives a lone byte (0xFF) that no reader takes alone: it
    // becomes "?", as every unit without a form does, instead of breaking the rest of the text.
    const struct {
        QString text;
        Cmd bytes;
    } cases[] = {
        {QString(QChar(0xF8F5)), Bytes({'?'})},
        {QStringLiteral("a") + QChar(0xF8F5), Bytes({'a', '?'})},
        {QChar(0xF8F5) + QStringLiteral("中"), Bytes({'?', 0xD6, 0xD0})},
        {QStringLiteral("中") + QChar(0xF8F5) + QStringLiteral("€"),
         Bytes({0xD6, 0xD0, '?', 0x80})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encodeCp936(c.text), c.bytes);
        QString decoded;
        ASSERT_TRUE(decodeCp936(c.bytes, decoded));
        EXPECT_EQ(encodeCp936(decoded), c.bytes);
    }
    // Every unit of the basic plane either reads back as itself or becomes "?".
    for (char32_t u = 1; u < 0x10000; ++u) {
        const QChar ch(static_cast<char16_t>(u));
        if (ch.isSurrogate()) continue;
        const QByteArray bytes = encodeCp936(QString(ch));
        QString decoded;
        ASSERT_TRUE(decodeCp936(bytes, decoded)) << std::hex << static_cast<unsigned>(u);
        EXPECT_EQ(encodeCp936(decoded), bytes) << std::hex << static_cast<unsigned>(u);
    }
}

TEST(LongFields, BigEndianTwosComplementWithinBounds) {
    const struct {
        std::int32_t value;
        Cmd bytes;
    } cases[] = {
        {-1, Bytes({255, 255, 255, 255})},  {256, Bytes({0, 0, 1, 0})},
        {1, Bytes({0, 0, 0, 1})},           {0, Bytes({0, 0, 0, 0})},
        {INT32_MIN, Bytes({128, 0, 0, 0})}, {INT32_MAX, Bytes({127, 255, 255, 255})},
        {-2, Bytes({255, 255, 255, 254})},  {16777216, Bytes({1, 0, 0, 0})},
        {-16777216, Bytes({255, 0, 0, 0})}, {-256, Bytes({255, 255, 255, 0})},
    };
    for (const auto& c : cases) {
        Cmd cmd(6, '\x11');
        ASSERT_TRUE(PutLongToCmd(c.value, cmd, 2));
        EXPECT_EQ(cmd.mid(2), c.bytes) << c.value;
        EXPECT_EQ(cmd.left(2), Cmd(2, '\x11'));
        std::int32_t back = 12345;
        ASSERT_TRUE(GetLongFromCmd(back, cmd, 2));
        EXPECT_EQ(back, c.value);
    }
    Cmd shortCmd(5, '\0');
    EXPECT_FALSE(PutLongToCmd(-1, shortCmd, 2));
    EXPECT_EQ(shortCmd, Cmd(5, '\0'));
    std::int32_t untouched = 77;
    EXPECT_FALSE(GetLongFromCmd(untouched, shortCmd, 2));
    EXPECT_FALSE(GetLongFromCmd(untouched, shortCmd, -1));
    EXPECT_EQ(untouched, 77);
}

TEST(Routing, RoomFrom95ExceptTwoCodes) {
    const std::pair<int, bool> cases[] = {{0, false},  {1, false},   {94, false},
                                          {95, true},  {105, true},  {113, false},
                                          {130, true}, {133, false}, {255, true}};
    for (const auto& [c, room] : cases)
        EXPECT_EQ(isRoomCode(static_cast<std::uint8_t>(c)), room) << c;
}

// Every two-byte code of the code page, against the C library's own tables.
TEST(Cp936, AgreesWithIconvOnEveryTwoByteCode) {
    iconv_t toUtf16 = iconv_open("UTF-16LE", "CP936");
    iconv_t fromUtf16 = iconv_open("CP936", "UTF-16LE");
    ASSERT_NE(toUtf16, reinterpret_cast<iconv_t>(-1));
    ASSERT_NE(fromUtf16, reinterpret_cast<iconv_t>(-1));
    int mapped = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            char out[8];
            char* ip = in;
            char* op = out;
            std::size_t il = 2, ol = sizeof out;
            iconv(toUtf16, nullptr, nullptr, nullptr, nullptr);
            const bool known = iconv(toUtf16, &ip, &il, &op, &ol) != static_cast<std::size_t>(-1) &&
                               il == 0 && ol == sizeof out - 2;
            const QString ours = CmdToString(Cmd(in, 2), 0);
            ASSERT_EQ(ours.size(), 1) << std::hex << lead << trail;
            if (!known) {
                // Codes the C library leaves out are either empty ("?") or the user-defined
                // areas, which Windows maps to the private use area.
                const char16_t u = ours[0].unicode();
                EXPECT_TRUE(u == u'?' || (u >= 0xE000 && u <= 0xF8FF)) << std::hex << lead << trail;
                continue;
            }
            ++mapped;
            const char16_t expected = static_cast<char16_t>(
                static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
            ASSERT_EQ(ours[0].unicode(), expected) << std::hex << lead << trail;

            // And back: our encoder gives what the C library's encoder gives.
            char16_t unit = expected;
            char* up = reinterpret_cast<char*>(&unit);
            char enc[8];
            char* ep = enc;
            std::size_t ul = 2, el = sizeof enc;
            iconv(fromUtf16, nullptr, nullptr, nullptr, nullptr);
            ASSERT_NE(iconv(fromUtf16, &up, &ul, &ep, &el), static_cast<std::size_t>(-1));
            EXPECT_EQ(encodeCp936(QStringView(&unit, 1)),
                      QByteArray(enc, static_cast<qsizetype>(sizeof enc - el)))
                << std::hex << lead << trail;
        }
    }
    iconv_close(toUtf16);
    iconv_close(fromUtf16);
    EXPECT_GT(mapped, 21000);
}

}  // namespace
}  // namespace xq

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "game/login_ticket.h"

namespace xq {
namespace {

// The hall's ticket from the environment first, then a ticket word of an older hall, then the one
// kept for the name in this room.
TEST(loginTicket, TheHallsTicketThenTheWordThenTheKeptOne) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString folder = home.filePath(QStringLiteral("tickets"));
    const QString kept =
        keptTicket(QStringLiteral("10.0.0.5"), 5000, QStringLiteral("张三"), folder);
    const struct {
        const char* what;
        QString handed, word, port;
        QString expected;  // "kept": the kept one; "": none
    } cases[] = {
        {"handed and a word", "from-env", "from-word", "5000", "from-env"},
        {"handed alone", "from-env", "-", "5000", "from-env"},
        {"a word of an older hall", "", "from-word", "5000", "from-word"},
        {"a handed one that is no ticket", "a b", "from-word", "5000", "from-word"},
        {"neither", "", "-", "5000", "kept"},
        {"neither, the port read by its leading number", "", "-", "5000x", "kept"},
        {"neither and no port", "", "-", "x", ""},
    };
    for (const auto& c : cases) {
        Session s;
        s.strRoomServerAddr = QStringLiteral("10.0.0.5");
        s.strRoomServerPort = c.port;
        s.strMyUserName = QStringLiteral("张三");
        s.strExtParam = {c.word, QStringLiteral("-")};
        const QString expected = c.expected == u"kept" ? kept : c.expected;
        EXPECT_EQ(loginTicket(s, c.handed, folder), expected) << c.what;
    }
}

}  // namespace
}  // namespace xq

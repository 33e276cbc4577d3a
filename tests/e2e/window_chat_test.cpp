// Three table windows at one table of the real server: two players and a spectator chat, to
// everybody and to one person, by the keys a user presses.

#include <gtest/gtest.h>

#include <QTest>

#include "ui/chat_panel.h"
#include "window_player.h"

namespace xq {
namespace {

using namespace xq::test;

// Picks the addressee as a user does: the box has the focus and the arrow keys move in it; then
// types the line and presses Enter.
void Say(WindowPlayer& p, const QString& to, const QString& text) {
    ChatPanel& chat = p.window->chat();
    QComboBox& box = chat.addressee();
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Home);
    for (int i = 0; i < box.count() && box.currentText() != to; ++i)
        QTest::keyClick(&box, Qt::Key_Down);
    ASSERT_EQ(box.currentText(), to);
    chat.input().setFocus();
    chat.input().setText(text);
    QTest::keyClick(&chat.input(), Qt::Key_Return);
}

bool Shows(WindowPlayer& p, const QString& text) {
    return p.window->chat().shownText().contains(text);
}

TEST(WindowChat, ALineToOnePersonReachesOnlyHim) {
    ServerProcess server;
    ASSERT_NE(server.port(), 0);
    WindowPlayer a("甲", server.port());
    ASSERT_TRUE(a.window);
    ASSERT_TRUE(Eventually([&] { return a.state.session.strWatchUserName == "甲"; }));
    WindowPlayer b("乙", server.port());
    ASSERT_TRUE(b.window);
    ASSERT_TRUE(Eventually([&] { return a.state.session.SeatUsers[1].strUserName == "乙"; }));
    WindowPlayer c("丙", server.port());
    ASSERT_TRUE(c.window);
    ASSERT_TRUE(Eventually([&] { return a.window->chat().addressee().findText("丙") >= 0; }));
    ASSERT_TRUE(c.state.session.blnLookOn) << "the third is a spectator";

    Say(a, "乙", "只给你看：我要走马");
    ASSERT_TRUE(Eventually([&] { return Shows(b, "甲 对 乙 悄悄 说：只给你看：我要走马"); }))
        << b.window->chat().shownText().toStdString();
    EXPECT_TRUE(Shows(a, "甲 对 乙 悄悄 说：只给你看：我要走马"));
    // The server relays in order: once the next line reaches the spectator, the private one
    // would have come before it.
    Say(a, "所有人", "大家好");
    ASSERT_TRUE(Eventually([&] { return Shows(c, "甲 说：大家好"); }));
    EXPECT_FALSE(Shows(c, "我要走马")) << c.window->chat().shownText().toStdString();

    // The spectator whispers to a player as well.
    Say(c, "甲", "加油");
    ASSERT_TRUE(Eventually([&] { return Shows(a, "丙 对 甲 悄悄 说：加油"); }));
    Say(c, "所有人", "观棋不语");
    ASSERT_TRUE(Eventually([&] { return Shows(b, "丙 说：观棋不语"); }));
    EXPECT_FALSE(Shows(b, "加油"));
    if (HasFailure()) server.dumpLog();
}

}  // namespace
}  // namespace xq

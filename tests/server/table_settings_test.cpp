#include "table_harness.h"

namespace xq::server::test {
namespace {

using TableSettingsTest = TableFixture;

TEST_F(TableSettingsTest, OwnerSetsTermsGuestAgreesAndTheGameStarts) {
    seatBoth();
    login(10, QStringLiteral("王五"));
    out.clear();
    say(kOwner, Text({112, 1}, owner));
    EXPECT_EQ(table.phase(), TablePhase::Settings);
    EXPECT_EQ(inbox(10), (QList<Cmd>{Text({112, 1}, owner)})) << "spectators see only the hand";
    EXPECT_EQ(last(kOwner, 111), Text({111, 0}, QStringLiteral("1`0`0`1`0`1`0`") + kDefaultTerms));
    EXPECT_EQ(last(kGuest, 111), Text({111, 0}, QStringLiteral("1`1`0`0`0`1`0`") + kDefaultTerms));
    EXPECT_FALSE(table.handUp(0)) << "hands are cleared when the stage begins";

    // Agreeing before the owner confirmed counts for nothing.
    say(kGuest, Text({112, 1}, guest));
    EXPECT_EQ(table.phase(), TablePhase::Settings);
    out.clear();

    const QString terms = QStringLiteral("200`1`1`10`1`1`1`0`0`1`0");
    const QString stored = QStringLiteral("200`1000`10`10`50`0`1`0`0`1`0");
    say(kOwner, Text({112, 0}, owner + u'`' + terms));
    EXPECT_EQ(inbox(kGuest), (QList<Cmd>{Text({112, 1}, owner + u'`' + stored)}));
    EXPECT_EQ(inbox(kOwner), (QList<Cmd>{Text({112, 1}, owner)}));
    EXPECT_EQ(inbox(10), (QList<Cmd>{Text({112, 1}, owner)}));
    out.clear();

    say(kGuest, Text({112, 1}, guest));
    EXPECT_EQ(table.phase(), TablePhase::Playing);
    const Cmd start = Bytes({17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0});
    for (ConnId id : {kOwner, kGuest, ConnId{10}})
        EXPECT_EQ(inbox(id), (QList<Cmd>{Text({112, 2}, guest), start}));
    EXPECT_EQ(table.agreedTerms()->text(), stored);
}

TEST_F(TableSettingsTest, InvalidTermsGetANoticeAndTheSettingsAgain) {
    seatBoth();
    say(kOwner, Text({112, 1}, owner));
    const QString bad[] = {
        QStringLiteral("5`1000`10`5`50`0`0`30`0`0`30"),
        QStringLiteral("100`1000`10`5`50`0`0`0`0`0`0"),
        QStringLiteral("100`1000`10`5`50`0`31`30`0`0`30"),
        QStringLiteral("100`1000`10`5`50`0`0`30`0`0"),
        QStringLiteral("abc"),
    };
    for (const QString& terms : bad) {
        out.clear();
        say(kOwner, Text({112, 0}, owner + u'`' + terms));
        const QList<Cmd> got = inbox(kOwner);
        ASSERT_EQ(got.size(), 2) << terms.toStdString();
        EXPECT_TRUE(got[0].startsWith(Text({24}, QStringLiteral("桌主设置无效："))));
        EXPECT_EQ(got[1], Text({111, 0}, QStringLiteral("1`0`0`1`0`1`0`") + kDefaultTerms));
        EXPECT_TRUE(inbox(kGuest).isEmpty());
    }
    // Terms in another's name, or from the guest, are not the owner's.
    say(kOwner, Text({112, 0}, guest + u'`' + kDefaultTerms));
    say(kGuest, Text({112, 0}, guest + u'`' + kDefaultTerms));
    say(kGuest, Text({112, 1}, guest));
    EXPECT_EQ(table.phase(), TablePhase::Settings);
    agree();
    EXPECT_EQ(table.phase(), TablePhase::Playing);
}

TEST_F(TableSettingsTest, ColoursAlternateAndTheTallyFollowsTheWinners) {
    startGame();
    EXPECT_EQ(table.game().redSeat(), 0);
    say(kOwner, Bytes({22, 0, 0}));  // seat 0 resigns
    EXPECT_EQ(table.phase(), TablePhase::BetweenGames);
    out.clear();
    say(kGuest, Bytes({18, 1}));
    EXPECT_EQ(inbox(kOwner), (QList<Cmd>{Bytes({18, 1})}));
    say(kGuest, Bytes({18, 1}));         // twice counts once
    say(kOwner, Text({112, 1}, owner));  // after a game the same as 18
    const Cmd start2 = Bytes({17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 30, 0, 0, 0, 30});
    EXPECT_EQ(last(kGuest, 17), start2);
    EXPECT_EQ(table.game().toMove(), 1) << "red moves first";
    EXPECT_EQ(table.game().sideOf(1), kRed);
    say(kGuest, Bytes({22, 0, 1}));
    nextGame();
    EXPECT_EQ(table.game().redSeat(), 0);
    EXPECT_EQ(table.tally(0), 1);
    EXPECT_EQ(table.tally(1), 1);

    // A newcomer between games learns hands, tally, times and who has red next.
    say(kGuest, Bytes({22, 0, 1}));
    say(kOwner, Bytes({18, 0}));
    login(10, QStringLiteral("王五"));
    EXPECT_EQ(last(10, 109), Bytes({109, 0, 0, 0, 1, 0, 0, 2, 0, 1, 0, 30, 0, 0, 0, 30, 1, 50}));
}

TEST_F(TableSettingsTest, HandsInTheWaitingStageCountUp) {
    login(kOwner, owner);
    login(10, guest);  // takes seat 1
    say(10, Text({110, 0}, guest));
    say(kOwner, Text({112, 1}, owner));
    EXPECT_EQ(last(kOwner, 112), Text({112, 1}, owner));
    say(kOwner, Text({112, 1}, owner));  // a second time changes nothing
    EXPECT_EQ(count(kOwner, 112), 1);
    say(kOwner, Bytes({18, 0}));  // only one seat taken: no hand after a game
    EXPECT_EQ(count(kOwner, 18), 0);
    login(kGuest, guest);
    EXPECT_EQ(table.phase(), TablePhase::Settings);
}

}  // namespace
}  // namespace xq::server::test

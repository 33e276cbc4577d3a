#include "server/user_row_text.h"
#include "table_harness.h"

namespace xq::server::test {
namespace {

class TableLoginTest : public TableFixture {
protected:
    // The row of someone who has not played yet.
    static QString FreshRow(const QString& name, int number, const QString& watched, int chair,
                            int hand = 0) {
        return QStringLiteral("%1`%2`1000`1000`%3`0`0`0`0`0`0`0`%4`%5`%6`0")
            .arg(name)
            .arg(number)
            .arg(watched)
            .arg(facePicture(name))
            .arg(chair)
            .arg(hand);
    }
};

TEST_F(TableLoginTest, PlayersAndSpectatorsGetIdentityListAndTableState) {
    const QString spectator = QStringLiteral("王五");
    const Cmd waits = Text({111, 0}, QStringLiteral("1`0`0`0`0"));
    const QString row0 = FreshRow(owner, 10001, QString(), 0);
    const QString row1 = FreshRow(guest, 10002, QString(), 1);
    const QString row2 = FreshRow(spectator, 10003, owner, 0);

    login(kOwner, owner);
    EXPECT_EQ(inbox(kOwner),
              (QList<Cmd>{Text({130, 3}, owner + u'`' + owner), Text({130, 2}, row0), waits}));
    out.clear();

    login(kGuest, guest);
    EXPECT_EQ(inbox(kGuest), (QList<Cmd>{Text({130, 3}, guest + u'`' + guest),
                                         Text({130, 2}, row0 + u'\n' + row1), waits}));
    EXPECT_EQ(inbox(kOwner), (QList<Cmd>{Text({130, 4}, row1)}));
    out.clear();

    login(10, spectator);
    EXPECT_EQ(inbox(10), (QList<Cmd>{Text({130, 3}, spectator + u'`' + owner),
                                     Text({130, 2}, row0 + u'\n' + row1 + u'\n' + row2), waits}));
    EXPECT_EQ(inbox(kOwner), (QList<Cmd>{Text({130, 0}, row2)}));
    EXPECT_EQ(inbox(kGuest), (QList<Cmd>{Text({130, 0}, row2)}));
    EXPECT_EQ(table.phase(), TablePhase::Waiting);
}

TEST_F(TableLoginTest, TheListFollowsSpectatorsComingAndGoing) {
    seatBoth();
    const auto rowOf = [&](const QString& name) {
        const int number = table.stats().find(name)->userNumber;
        return FreshRow(name, number, name == owner || name == guest ? QString() : owner,
                        name == guest ? 1 : 0);
    };
    const auto spectator = [](int k) { return QStringLiteral("观众%1").arg(k); };
    // Each step: spectator k arrives (k >= 0), or spectator -k - 1 leaves (even k) or drops out
    // (odd k); then a newcomer's list must show the spectators left, in order of arrival.
    const struct {
        std::vector<int> steps;
        std::vector<int> listed;
    } cases[] = {
        {{0, 1, 2}, {0, 1, 2}}, {{-2}, {0, 2}}, {{3, -1, 4}, {2, 3, 4}},
        {{-3, -4, -5}, {}},     {{5}, {5}},
    };
    ConnId probe = 100;
    for (const auto& c : cases) {
        for (int k : c.steps) {
            if (k >= 0) {
                login(10 + k, spectator(k));
            } else if (k % 2 == 0) {
                say(10 - k - 1, Text({110, 0}, spectator(-k - 1)));
            } else {
                table.disconnect(10 - k - 1);
            }
        }
        ++probe;
        out.clear();
        const QString newcomer = QStringLiteral("探%1").arg(probe);
        ASSERT_TRUE(table.login(probe, newcomer, true));
        QString expected = rowOf(owner) + u'\n' + rowOf(guest);
        for (int k : c.listed)
            expected += u'\n' + rowOf(spectator(k));
        expected += u'\n' + rowOf(newcomer);
        const QList<Cmd> got = inbox(probe);
        ASSERT_GE(got.size(), 2);
        EXPECT_EQ(got[1], Text({130, 2}, expected)) << "after case " << probe - 100;
        table.disconnect(probe);
    }
}

TEST_F(TableLoginTest, ANameAlreadyAtTheTableIsRefused) {
    seatBoth();
    login(10, QStringLiteral("王五"));
    out.clear();
    const struct {
        QString name;
        QString reason;
    } cases[] = {{owner, QStringLiteral("用户名 张三 已在本桌")},
                 {guest, QStringLiteral("用户名 李四 已在本桌")},
                 {QStringLiteral("王五"), QStringLiteral("用户名 王五 已在本桌")},
                 {QString(), QStringLiteral("用户名无效")}};
    for (const auto& c : cases) {
        EXPECT_FALSE(table.login(20, c.name, true));
        EXPECT_EQ(out.closed.takeLast(), 20u);
        // Only the refused connection hears why, before it is closed.
        EXPECT_EQ(out.inbox.take(20), (QList<Cmd>{Text({24}, c.reason)}));
        EXPECT_TRUE(out.inbox.isEmpty()) << "nobody else hears of a refused login";
    }
    EXPECT_TRUE(table.login(21, QStringLiteral("赵六"), false));
}

TEST_F(TableLoginTest, ANameSeenWithATicketComesInOnlyWithThatTicket) {
    const QString spectator = QStringLiteral("王五");
    ASSERT_TRUE(table.login(kOwner, owner, true, QStringLiteral("owner-secret")));
    login(kGuest, guest);  // no ticket: this name stays open to anyone
    ASSERT_TRUE(table.login(10, spectator, true, QStringLiteral("w5")));
    agree();
    ASSERT_EQ(table.phase(), TablePhase::Playing);
    table.disconnect(kOwner);
    table.disconnect(kGuest);
    ASSERT_TRUE(table.offline(0) && table.offline(1));
    say(10, Text({110, 0}, spectator));
    out.clear();
    out.closed.clear();

    const QString taken = QStringLiteral("用户名 %1 已被他人使用");
    const struct {
        QString name;
        QString ticket;
        QString refusal;  // empty: let in
    } cases[] = {
        {owner, QString(), taken.arg(owner)},
        {owner, QStringLiteral("guess"), taken.arg(owner)},
        {owner, QStringLiteral("owner-secret"), QString()},  // the seat back
        {owner, QStringLiteral("owner-secret"), QStringLiteral("用户名 张三 已在本桌")},
        {spectator, QString(), taken.arg(spectator)},
        {spectator, QStringLiteral("w5"), QString()},
        {guest, QString(), QString()},  // as before tickets: the seat back by the name
    };
    ConnId id = 20;
    for (const auto& c : cases) {
        ++id;
        const bool in = table.login(id, c.name, true, c.ticket);
        EXPECT_EQ(in, c.refusal.isEmpty()) << c.name.toStdString() << " " << c.ticket.toStdString();
        if (in) continue;
        EXPECT_EQ(out.closed.takeLast(), id);
        EXPECT_EQ(out.inbox.take(id), (QList<Cmd>{Text({24}, c.refusal)}));
    }
    EXPECT_EQ(table.seatOf(23), 0);
    EXPECT_EQ(table.seatOf(27), 1);
    EXPECT_FALSE(table.offline(0) || table.offline(1));
    EXPECT_TRUE(out.closed.isEmpty());

    // The guest's first ticket binds his name from now on.
    say(27, Text({110, 0}, guest));
    ASSERT_TRUE(table.login(30, guest, true, QStringLiteral("g")));
    say(30, Text({110, 0}, guest));
    EXPECT_FALSE(table.login(31, guest, true));
}

TEST_F(TableLoginTest, AFreedSeatGoesToTheNextNewcomerAndStatisticsStayWithTheName) {
    seatBoth();
    login(10, QStringLiteral("王五"));
    say(kOwner, Text({110, 0}, owner));
    EXPECT_EQ(out.closed, (QList<ConnId>{kOwner}));
    EXPECT_EQ(table.seatName(0), QString());
    login(11, QStringLiteral("赵六"));
    EXPECT_EQ(table.seatOf(11), 0) << "the lowest free seat, not the spectator";
    EXPECT_FALSE(table.seatOf(10).has_value());
    say(11, Text({110, 0}, QStringLiteral("赵六")));
    out.clear();
    login(12, owner);
    EXPECT_EQ(table.seatOf(12), 0);
    EXPECT_EQ(table.stats().find(owner)->userNumber, 10001) << "the number of the first arrival";
}

TEST_F(TableLoginTest, ASecondPlayerJoiningARaisedHandStartsTheSettingsStage) {
    login(kOwner, owner);
    say(kOwner, Text({112, 1}, owner));
    EXPECT_EQ(last(kOwner, 112), Text({112, 1}, owner));
    EXPECT_EQ(table.phase(), TablePhase::Waiting);
    out.clear();
    login(kGuest, guest);
    EXPECT_EQ(table.phase(), TablePhase::Settings);
    const QList<Cmd> got = inbox(kGuest);
    ASSERT_EQ(got.size(), 4);
    EXPECT_EQ(got[1], Text({130, 2}, FreshRow(owner, 10001, QString(), 0, 1) + u'\n' +
                                         FreshRow(guest, 10002, QString(), 1)));
    EXPECT_EQ(got[3], Text({111, 0}, QStringLiteral("1`1`0`0`0`1`0`") + kDefaultTerms));
    EXPECT_EQ(last(kOwner, 111), Text({111, 0}, QStringLiteral("1`0`0`1`0`1`0`") + kDefaultTerms));
}

TEST_F(TableLoginTest, ASpectatorJoiningMidGameRebuildsTheServersBoard) {
    startGame();
    playAll({{7, 7, 7, 4}, {0, 1, 2, 2}, {7, 4, 3, 4}, {0, 7, 2, 6}});
    advance(42'000);  // red thinks: 12 s past the free 30 s
    login(10, QStringLiteral("王五"));
    const auto snap = last(10, 109);
    ASSERT_TRUE(snap.has_value());
    ASSERT_EQ(snap->size(), 22 + 4 * 4);
    EXPECT_EQ(snap->left(22),
              Bytes({109, 0, 1, 0, 0, 0, 0, 30, 0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 13, 0, 0, 0}));
    QiPuHistory history;
    resetQiPu(history);
    for (qsizetype i = 22; i + 3 < snap->size(); i += 4) {
        history.push_back(QiPuItem{byteAt(*snap, i), byteAt(*snap, i + 1), byteAt(*snap, i + 2),
                                   byteAt(*snap, i + 3)});
    }
    QiPan rebuilt{};
    replayQiPu(history, rebuilt);
    EXPECT_EQ(rebuilt, table.game().board());
    EXPECT_EQ(history, table.game().history());
}

}  // namespace
}  // namespace xq::server::test

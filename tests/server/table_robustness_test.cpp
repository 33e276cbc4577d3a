#include <random>

#include "net/table_requests.h"
#include "table_harness.h"

namespace xq::server::test {
namespace {

class TableRobustnessTest : public TableFixture {
protected:
    static constexpr ConnId kSpectator = 10;

    // Whatever the table is doing, brings it to a new game and plays the mate line through.
    void playAFullGame() {
        for (int guard = 0; guard < 8 && table.phase() != TablePhase::Playing; ++guard) {
            switch (table.phase()) {
                case TablePhase::Waiting:
                    say(kOwner, Text({112, 1}, owner));
                    break;
                case TablePhase::Settings:
                    say(kOwner, Text({112, 0}, owner + u'`' + kDefaultTerms));
                    say(kGuest, Text({112, 1}, guest));
                    break;
                case TablePhase::BetweenGames:
                    nextGame();
                    break;
                case TablePhase::Loading:
                    say(kOwner, tablemsg::encode(tablemsg::LoadAbandoned{0}));
                    say(kGuest, tablemsg::encode(tablemsg::LoadAbandoned{1}));
                    break;
                case TablePhase::Playing:
                    break;
            }
        }
        ASSERT_EQ(table.phase(), TablePhase::Playing);
        if (table.game().halfMoves() > 0) {
            say(kOwner, Bytes({22, 0, 0}));
            nextGame();
        }
        ASSERT_EQ(table.game().halfMoves(), 0);
        for (const Step& s : kMateLine)
            ASSERT_TRUE(play(s));
        ASSERT_EQ(table.phase(), TablePhase::BetweenGames);
        EXPECT_EQ(CmdToString(*last(kOwner, 25), 10), QStringLiteral("被将死"));
    }

    // Messages that no phase may act on, from anybody.
    QList<Cmd> silentGarbage() const {
        return {
            Cmd(),
            Bytes({0}),
            Bytes({255, 255, 255}),
            Bytes({19}),
            Bytes({19, 0, 0, 0x77, 19, 0x74, 0, 0, 0}),
            Bytes({19, 0, 0, 0x77, 19, 0x74, 0, 0, 0, 0, 0}),
            Bytes({20}),
            Bytes({20, 0}),
            Bytes({20, 0, 0, 0}),
            Bytes({20, 5, 0}),
            Bytes({21, 9, 1}),
            Bytes({22, 2, 0}),
            Bytes({22, 0}),
            Bytes({23, 7, 0}),
            Bytes({18}),
            Bytes({18, 5}),
            Bytes({18, 0, 0}),
            Bytes({112}),
            Bytes({112, 1}),
            Bytes({112, 1, 0xD5}),
            Text({112, 7}, owner),
            Text({112, 1}, QStringLiteral("别人")),
            Text({112, 0}, QStringLiteral("别人`") + kDefaultTerms),
            Text({110, 0}, QStringLiteral("别人")),
            Text({110, 1}, owner),
            Bytes({110}),
            tablemsg::encode(tablemsg::Login{true}),
            Bytes({130, 9}),
            Text({111, 0}, QStringLiteral("1`0`0`0`0")),
            Bytes({109, 0, 1, 0, 0, 0}),
            Text({105, 0, 0}, QStringLiteral("x")),
            Text({24}, QStringLiteral("x")),
            Bytes({25, 0, 0, 0, 0, 0, 0, 0, 0, 2}),
            Bytes({17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 30, 0, 0, 0, 30}),
            Bytes({1}),
            QByteArray(5000, '\x13'),
        };
    }

    // The observable state: phase, board, history, hands.
    auto state() const {
        return std::make_tuple(table.phase(), table.game().board(), table.game().history(),
                               table.handUp(0), table.handUp(1), table.game().toMove());
    }
};

TEST_F(TableRobustnessTest, GarbageInEveryPhaseChangesNothingAndAnswersNothing) {
    seatBoth();
    login(kSpectator, QStringLiteral("王五"));
    using Setup = std::function<void()>;
    const std::pair<const char*, Setup> phases[] = {
        {"waiting", [] {}},
        {"settings",
         [&] {
             say(kOwner, Text({112, 1}, owner));
         }},
        {"playing",
         [&] {
             say(kOwner, Text({112, 0}, owner + u'`' + kDefaultTerms));
             say(kGuest, Text({112, 1}, guest));
             play({7, 7, 7, 4});
         }},
        {"between games",
         [&] {
             say(kOwner, Bytes({22, 0, 0}));
         }},
        {"loading",
         [&] {
             say(kOwner, Bytes({23, 0, 0}));
             say(kGuest, Bytes({23, 2, 1}));
         }},
    };
    for (const auto& [name, setup] : phases) {
        SCOPED_TRACE(name);
        setup();
        const auto before = state();
        out.clear();
        for (ConnId from : {kOwner, kGuest, kSpectator, ConnId{77}}) {
            for (const Cmd& m : silentGarbage())
                say(from, m);
        }
        EXPECT_EQ(state(), before);
        EXPECT_TRUE(out.inbox.isEmpty());
        EXPECT_TRUE(out.closed.isEmpty());
    }
    say(kOwner, tablemsg::encode(tablemsg::LoadAbandoned{0}));
    playAFullGame();
}

TEST_F(TableRobustnessTest, SpectatorsCannotPlay) {
    startGame();
    login(kSpectator, QStringLiteral("王五"));
    out.clear();
    for (const Cmd& m :
         {Bytes({19, 0, 0, 0x77, 19, 0x74, 0, 0, 0, 0}), Bytes({22, 0, 0}), Bytes({21, 0, 0}),
          Bytes({20, 0, 0}), Bytes({18, 0}), Text({112, 1}, QStringLiteral("王五"))})
        say(kSpectator, m);
    EXPECT_TRUE(out.inbox.isEmpty());
    EXPECT_EQ(table.game().halfMoves(), 0);
}

TEST_F(TableRobustnessTest, RandomMessagesNeverBreakTheTable) {
    std::mt19937 rng(20240607);
    const int codes[] = {1, 17, 18, 19, 20, 21, 22, 23, 24, 25, 105, 108, 109, 110, 111, 112, 130};
    seatBoth();
    login(kSpectator, QStringLiteral("王五"));
    for (int round = 0; round < 20; ++round) {
        for (int i = 0; i < 300; ++i) {
            Cmd m;
            m.append(static_cast<char>(codes[rng() % std::size(codes)]));
            const int len = static_cast<int>(rng() % 24);
            for (int k = 0; k < len; ++k)
                m.append(static_cast<char>(rng() % (k < 2 ? 4 : 256)));
            const ConnId from = std::array<ConnId, 4>{kOwner, kGuest, kSpectator, 77}[rng() % 4];
            say(from, m);
            if (rng() % 50 == 0) advance(static_cast<qint64>(rng() % 200'000));
        }
        if (!table.seatOf(kOwner) || !table.seatOf(kGuest)) break;  // a player may have left
        playAFullGame();
    }
    EXPECT_FALSE(out.lines.isEmpty());
}

}  // namespace
}  // namespace xq::server::test

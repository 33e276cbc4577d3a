#pragma once

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <array>
#include <memory>
#include <optional>

#include "../server/raw_client.h"
#include "../support/bytes.h"
#include "../support/server_process.h"
#include "net/hall_messages.h"
#include "server/store/player_store.h"

namespace xq::test {

// The real server on a real store that the test then breaks (a database that stops answering, a
// disk that fills up): four accounts who come in through the hall, take their seats at two
// tables and play.
class RoomUnderFault : public ::testing::Test {
protected:
    using RawClient = server::test::RawClient;

    static inline const QString kPassword = QStringLiteral("secret pw");
    static inline const QString kTerms = QStringLiteral("`100`1000`10`5`50`0`0`30`0`0`30");

    static std::optional<hall::PlayerRow> ownRowIn(const QByteArray& message) {
        const auto parsed = hall::parseServerMessage(message);
        if (!parsed || !std::holds_alternative<hall::in::OwnRow>(*parsed)) return std::nullopt;
        return std::get<hall::in::OwnRow>(*parsed).row;
    }

    void makeAccounts(const QString& where) {
        QString error;
        auto store = server::PlayerStore::open(where, &error);
        ASSERT_TRUE(store) << error.toStdString();
        for (const QString& name : names_) {
            ASSERT_EQ(store->createAccount(name, kPassword, 1, &error),
                      server::PlayerStore::Registration::Created)
                << error.toStdString();
        }
    }
    QStringList serverArguments(const QString& where) const {
        return {QStringLiteral("--db"),        where,
                QStringLiteral("--tables"),    QStringLiteral("2"),
                QStringLiteral("--spill-dir"), spill_.path()};
    }
    void startServer(const QString& where) {
        server_ = std::make_unique<ServerProcess>(serverArguments(where));
        ASSERT_NE(server_->port(), 0) << server_->log().toStdString();
    }

    std::unique_ptr<RawClient> hallIn(const QString& name) {
        auto c = std::make_unique<RawClient>(server_->port());
        c->send(hall::accountHello(name, kPassword, false));
        EXPECT_TRUE(ownRowIn(c->waitForPrefix(Bytes({200, 0}), 10000))) << name.toStdString();
        return c;
    }
    std::unique_ptr<RawClient> seated(RawClient& hallUser, const QString& name, int table,
                                      int seat) {
        hallUser.send(hall::reserveSeat(table, seat));
        const auto parsed = hall::parseServerMessage(hallUser.waitForPrefix(Bytes({204, 0})));
        const QString ticket = parsed ? std::get<hall::in::Reservation>(*parsed).ticket : QString();
        auto c = std::make_unique<RawClient>(server_->port());
        c->logIn(name, ticket);
        EXPECT_FALSE(c->waitForPrefix(Bytes({130, 3})).isEmpty()) << name.toStdString();
        return c;
    }
    void startGame(RawClient& a, const QString& nameA, RawClient& b, const QString& nameB) {
        a.send(Text({112, 1}, nameA));
        ASSERT_FALSE(a.waitForPrefix(Text({111, 0}, QStringLiteral("1`0`0`1`0`1`0`"))).isEmpty());
        a.send(Text({112, 0}, nameA + kTerms));
        ASSERT_FALSE(b.waitForPrefix(Text({112, 1}, nameA + QStringLiteral("`100"))).isEmpty());
        b.send(Text({112, 1}, nameB));
        ASSERT_FALSE(a.waitForPrefix(Bytes({17})).isEmpty());
        ASSERT_FALSE(b.waitForPrefix(Bytes({17})).isEmpty());
    }
    // Milliseconds until both players saw the move; -1 when they did not within 5 s.
    static qint64 move(RawClient& mover, RawClient& other, const std::array<int, 5>& m) {
        QElapsedTimer t;
        t.start();
        mover.send(Bytes({19, 0, m[0], m[1], m[2], m[3], m[4], 0, 0, 0}));
        const QByteArray echo = Bytes({19, 0, m[0], m[1], m[2], m[3], m[4]});
        if (mover.waitForPrefix(echo).isEmpty() || other.waitForPrefix(echo).isEmpty()) return -1;
        return t.elapsed();
    }
    // Two moves each (horses out and back), so that the game counts.
    static void playRatedOpening(RawClient& red, RawClient& black) {
        for (const auto& m : {std::array<int, 5>{0, 0x91, 18, 0x72, 0},
                              {1, 0x01, 2, 0x22, 0},
                              {0, 0x72, 18, 0x91, 0},
                              {1, 0x22, 2, 0x01, 0}})
            ASSERT_GE(move(m[0] == 0 ? red : black, m[0] == 0 ? black : red, m), 0);
    }

    // Everybody in the hall, 甲 and 乙 at table 1 with a game that counts begun, 丙 and 丁 at
    // table 2 one move into theirs.
    void sitDownAndPlay() {
        for (const QString& name : names_)
            halls_.push_back(hallIn(name));
        ASSERT_FALSE(HasFailure());
        tables_.push_back(seated(*halls_[0], names_[0], 1, 0));
        tables_.push_back(seated(*halls_[1], names_[1], 1, 1));
        tables_.push_back(seated(*halls_[2], names_[2], 2, 0));
        tables_.push_back(seated(*halls_[3], names_[3], 2, 1));
        startGame(*tables_[0], names_[0], *tables_[1], names_[1]);
        startGame(*tables_[2], names_[2], *tables_[3], names_[3]);
        ASSERT_FALSE(HasFailure());
        ASSERT_GE(move(*tables_[2], *tables_[3], {0, 0x77, 19, 0x76, 0}), 0);
        playRatedOpening(*tables_[0], *tables_[1]);
    }
    // Table 2 plays on while the store is away: each move is echoed at once.
    void tableTwoPlaysOn() {
        RawClient& c = *tables_[2];
        RawClient& d = *tables_[3];
        for (const auto& [mover, m] : {std::pair{&d, std::array<int, 5>{1, 0x21, 3, 0x26, 0}},
                                       std::pair{&c, std::array<int, 5>{0, 0x76, 19, 0x36, 7}}}) {
            const qint64 ms = move(*mover, mover == &c ? d : c, m);
            EXPECT_GE(ms, 0);
            EXPECT_LT(ms, 1000);
        }
    }
    // After a restart, 丙 and 丁 come back through the hall, are asked back to table 2 and find
    // the three moves tableTwoPlaysOn() left on the board.
    void tableTwoComesBack() {
        tables_.clear();
        for (int seat = 0; seat < 2; ++seat) {
            const auto i = static_cast<std::size_t>(seat) + 2;
            halls_.push_back(hallIn(names_[i]));
            EXPECT_EQ(halls_.back()->waitForPrefix(Bytes({230})),
                      hall::gameWaiting(2, static_cast<hall::Place>(seat)));
            tables_.push_back(seated(*halls_.back(), names_[i], 2, seat));
            const QByteArray snapshot = tables_.back()->waitForPrefix(Bytes({109}));
            ASSERT_FALSE(snapshot.isEmpty());
            EXPECT_EQ((snapshot.size() - 22) / 4, 3) << "three moves on the board";
        }
    }
    // The hall user i was shown this score in his own row.
    bool shownScore(std::size_t i, int score) {
        halls_[i]->take();
        for (const QByteArray& m : halls_[i]->received) {
            const auto row = ownRowIn(m);
            if (row && row->score == score) return true;
        }
        return false;
    }

    const QStringList names_ = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"),
                                QStringLiteral("丁")};
    QTemporaryDir spill_;
    std::unique_ptr<ServerProcess> server_;
    std::vector<std::unique_ptr<RawClient>> halls_;
    std::vector<std::unique_ptr<RawClient>> tables_;
};

}  // namespace xq::test

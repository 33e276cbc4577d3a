// The engine process against a scripted engine: the real QProcess and event loop, an engine in
// either coordinate style, and engines that die, hang, babble or play what is no move.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "../support/eventually.h"
#include "rules/fen.h"
#include "rules/iccs.h"
#include "uci/engine_process.h"

namespace xq::uci {
namespace {

using Trouble = EngineProcess::Trouble;

Move M(const char* iccs) {
    return *parseIccsMove(iccs);
}

// Quick limits, so that a hang is found within a test's patience.
EngineProcess::Limits Quick() {
    EngineProcess::Limits l;
    l.handshakeMs = 2000;
    l.graceMs = 300;
    l.silenceMs = 1000;
    l.restarts = 3;
    l.garbageLines = 50;
    return l;
}

// One engine, and everything it said through its signals.
class EngineProcessTest : public ::testing::Test {
protected:
    void start(QStringList arguments, EngineProcess::Limits limits = Quick()) {
        arguments << QStringLiteral("--log") << log();
        engine_ = std::make_unique<EngineProcess>(limits);
        QObject::connect(engine_.get(), &EngineProcess::ready, [this] { ++readies_; });
        QObject::connect(engine_.get(), &EngineProcess::thinking,
                         [this](const SearchLine& l) { lines_.push_back(l); });
        QObject::connect(engine_.get(), &EngineProcess::bestMove,
                         [this](std::optional<Move> m) { best_.push_back(m); });
        QObject::connect(engine_.get(), &EngineProcess::trouble,
                         [this](Trouble t, const QString&) { troubles_.push_back(t); });
        QObject::connect(engine_.get(), &EngineProcess::gaveUp, [this] { gaveUp_ = true; });
        engine_->start(QStringLiteral(XQ_FAKE_UCI), arguments);
    }
    static bool waitFor(const std::function<bool()>& done, int ms = 5000) {
        return test::Eventually(done, ms);
    }
    QString log() const { return dir_.filePath(QStringLiteral("said.txt")); }
    QStringList said() const {
        QFile f(log());
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    static SearchRequest Endless() {
        SearchRequest r;
        r.limit = SearchRequest::Limit::Infinite;
        return r;
    }
    // A scripted engine started and thinking aloud about `r` without end: at least `heard` lines.
    bool thinkingAbout(const SearchRequest& r, std::size_t heard) {
        start({});
        return waitFor([&] { return readies_ > 0; }) && engine_->search(r) &&
               waitFor([&] { return lines_.size() >= heard; });
    }
    static SearchRequest Timed(std::vector<Move> moves = {}, int ms = 50) {
        SearchRequest r;
        r.moves = std::move(moves);
        r.amount = ms;
        return r;
    }

    QTemporaryDir dir_;
    std::unique_ptr<EngineProcess> engine_;
    int readies_ = 0;
    std::vector<SearchLine> lines_;
    std::vector<std::optional<Move>> best_;
    std::vector<Trouble> troubles_;
    bool gaveUp_ = false;
};

TEST_F(EngineProcessTest, EachEngineIsSpokenToInItsOwnCoordinatesAndHeardInOurs) {
    for (const bool fairy : {false, true}) {
        SCOPED_TRACE(fairy ? "ranks from 1" : "ICCS");
        lines_.clear();
        best_.clear();
        QFile::remove(log());
        QFile::remove(log() + QStringLiteral(".goes"));
        start(fairy ? QStringList{QStringLiteral("--fairy")} : QStringList{});
        engine_->setSettings({4, 1000, 3, -25});
        ASSERT_TRUE(waitFor(
            [&] { return readies_ > 0 && engine_->state() == EngineProcess::State::Ready; }));
        EXPECT_EQ(engine_->rankBase(), fairy ? RankBase::One : RankBase::Zero);
        EXPECT_EQ(engine_->engineName(),
                  fairy ? QStringLiteral("Fake-Stockfish") : QStringLiteral("Fake Pikafish"));
        ASSERT_TRUE(engine_->search(Timed({M("b0c2"), M("b9c7")})));
        ASSERT_TRUE(waitFor([&] { return !best_.empty(); }));
        EXPECT_EQ(best_, (std::vector<std::optional<Move>>{M("h2e2")}));
        // The lines with a whole variation (the "info string" and progress lines are not).
        ASSERT_EQ(lines_.size(), 2u);
        EXPECT_EQ(lines_[0].pv, (std::vector<Move>{M("h2e2"), M("h9g7")}));
        EXPECT_EQ(lines_[0].depth, 1);
        EXPECT_EQ(lines_[0].selDepth, 2);
        EXPECT_EQ(lines_[0].score->value, 20);
        EXPECT_EQ(lines_[1].score->kind, Score::Mate);
        EXPECT_EQ(lines_[1].nodes, 200);

        const QStringList words = said();
        EXPECT_EQ(words.contains(QStringLiteral("setoption name UCI_Variant value xiangqi")),
                  fairy);
        // Within what the engine offers.
        EXPECT_TRUE(words.contains(QStringLiteral("setoption name Threads value 4")));
        EXPECT_TRUE(words.contains(QStringLiteral("setoption name Hash value 128")));
        EXPECT_TRUE(words.contains(QStringLiteral("setoption name MultiPV value 3")));
        EXPECT_TRUE(words.contains(QStringLiteral("setoption name Skill Level value -20")));
        const QString position =
            QStringLiteral("position fen %1 - - 0 1 moves %2")
                .arg(QString::fromStdString(toFen(Position::Initial())),
                     fairy ? QStringLiteral("b1c3 b10c8") : QStringLiteral("b0c2 b9c7"));
        EXPECT_TRUE(words.contains(position)) << words.join(u'\n').toStdString();
        EXPECT_TRUE(words.contains(QStringLiteral("go movetime 50")));
        EXPECT_TRUE(troubles_.empty());
        engine_.reset();
        readies_ = 0;
    }
}

TEST_F(EngineProcessTest, AMoveTheEngineCannotMakeIsNeverPassedOn) {
    // h2e2 is no legal move once the cannon has gone, and a variation stops at its first bad move.
    start({QStringLiteral("--best"), QStringLiteral("e0e2"), QStringLiteral("--pv"),
           QStringLiteral("h2e2 e9e7 h9g7")});
    ASSERT_TRUE(waitFor([&] { return readies_ > 0; }));
    ASSERT_TRUE(engine_->search(Timed()));
    ASSERT_TRUE(waitFor([&] { return !best_.empty(); }));
    EXPECT_EQ(best_, (std::vector<std::optional<Move>>{std::nullopt}));
    EXPECT_EQ(troubles_, (std::vector<Trouble>{Trouble::IllegalMove}));
    ASSERT_FALSE(lines_.empty());
    EXPECT_EQ(lines_[0].pv, (std::vector<Move>{M("h2e2")}));
    // Moves that do not follow from the position are refused before the engine sees them.
    EXPECT_FALSE(engine_->search(Timed({M("h2e2"), M("h2e2")})));
}

TEST_F(EngineProcessTest, APositionWithoutAMoveIsAnsweredWithoutTheEngine) {
    start({});
    ASSERT_TRUE(waitFor([&] { return readies_ > 0; }));
    SearchRequest mated;
    // Black to move, checkmated by two chariots.
    mated.start = *parseFen("3k1R3/9/3R5/9/9/9/9/9/9/4K4 b");
    ASSERT_TRUE(engine_->search(mated));
    ASSERT_TRUE(waitFor([&] { return !best_.empty(); }));
    EXPECT_EQ(best_, (std::vector<std::optional<Move>>{std::nullopt}));
    EXPECT_FALSE(said().join(u'\n').contains(QStringLiteral("go")));
}

// A line played to the mate while the engine thinks about the position before it: the old
// search's last words, its best move above all, must not pass for the new position's.
TEST_F(EngineProcessTest, AMatedPositionAfterASearchHearsNothingOfTheOldOne) {
    SearchRequest endless = Endless();
    endless.start = *parseFen("3k5/R8/9/9/9/9/9/9/9/4KR3 w");
    ASSERT_TRUE(thinkingAbout(endless, 2));
    SearchRequest mated = endless;
    mated.moves = {M("f0f9")};
    ASSERT_TRUE(engine_->search(mated));
    const std::size_t heard = lines_.size();
    waitFor([] { return false; }, 400);
    EXPECT_EQ(lines_.size(), heard);
    EXPECT_EQ(best_, (std::vector<std::optional<Move>>{std::nullopt}));
    EXPECT_TRUE(said().contains(QStringLiteral("stop")));
    // And the engine goes on with the next position as ever.
    ASSERT_TRUE(engine_->search(Timed()));
    ASSERT_TRUE(waitFor([&] { return best_.size() == 2; }));
    EXPECT_EQ(best_[1], M("h2e2"));
}

TEST_F(EngineProcessTest, ASearchThatIsReplacedSaysNothingMore) {
    const SearchRequest endless = Endless();
    ASSERT_TRUE(thinkingAbout(endless, 3));
    // A new position while it thinks: the old search is stopped and its move dropped.
    ASSERT_TRUE(engine_->search(Timed({M("h2e2")})));
    ASSERT_TRUE(waitFor([&] { return !best_.empty(); }));
    waitFor([] { return false; }, 300);
    EXPECT_EQ(best_.size(), 1u);
    EXPECT_TRUE(said().contains(QStringLiteral("stop")));
    // The engine's h2e2 is no move for black: told, and not played.
    EXPECT_EQ(best_[0], std::nullopt);
    // Infinite analysis ends with stopSearch, with the best move so far.
    best_.clear();
    ASSERT_TRUE(engine_->search(endless));
    ASSERT_TRUE(waitFor([&] { return !lines_.empty(); }));
    engine_->stopSearch();
    ASSERT_TRUE(waitFor([&] { return !best_.empty(); }));
    EXPECT_EQ(best_[0], M("h2e2"));
}

// Its owner is being destroyed while the engine ends: whatever it writes meanwhile must reach
// nobody (the fake goes on thinking aloud after "quit" until it is killed).
TEST_F(EngineProcessTest, AnEngineBeingShutDownSaysNothingMore) {
    ASSERT_TRUE(thinkingAbout(Endless(), 2));
    const std::size_t heard = lines_.size();
    engine_->shutDown();
    EXPECT_EQ(lines_.size(), heard);
    EXPECT_TRUE(best_.empty());
    EXPECT_TRUE(troubles_.empty());
    EXPECT_EQ(engine_->state(), EngineProcess::State::NotRunning);
}

TEST_F(EngineProcessTest, AnEngineThatFailsIsStartedAgainAndTheSearchGoesOn) {
    const struct {
        const char* what;
        QStringList arguments;
        Trouble trouble;
    } cases[] = {
        {"dies", {QStringLiteral("--die-on-go"), QStringLiteral("1")}, Trouble::Died},
        {"slower than its time",
         {QStringLiteral("--think-ms"), QStringLiteral("1500")},
         Trouble::Hung},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        troubles_.clear();
        best_.clear();
        readies_ = 0;
        QFile::remove(log() + QStringLiteral(".goes"));
        start(c.arguments);
        ASSERT_TRUE(waitFor([&] { return readies_ > 0; }));
        ASSERT_TRUE(engine_->search(Timed()));
        ASSERT_TRUE(waitFor([&] { return !troubles_.empty(); }));
        EXPECT_EQ(troubles_[0], c.trouble);
        if (c.trouble == Trouble::Died) {
            // Started again, and given the search again: this time it answers.
            ASSERT_TRUE(waitFor([&] { return !best_.empty(); }));
            EXPECT_EQ(readies_, 2);
            EXPECT_EQ(best_[0], M("h2e2"));
        }
        engine_.reset();
    }
}

TEST_F(EngineProcessTest, AnEngineThatKeepsFailingIsGivenUp) {
    const struct {
        const char* what;
        QStringList arguments;
        Trouble trouble;
    } cases[] = {
        {"hangs", {QStringLiteral("--hang")}, Trouble::Hung},
        {"babbles", {QStringLiteral("--garbage")}, Trouble::Garbage},
        {"never says uciok", {QStringLiteral("--no-uciok")}, Trouble::NoHandshake},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        troubles_.clear();
        gaveUp_ = false;
        EngineProcess::Limits limits = Quick();
        limits.handshakeMs = 300;
        start(c.arguments, limits);
        engine_->search(Timed());
        ASSERT_TRUE(waitFor([&] { return gaveUp_; }, 15000));
        EXPECT_EQ(engine_->state(), EngineProcess::State::GivenUp);
        ASSERT_EQ(troubles_.size(), 4u) << "the first try and three restarts";
        for (Trouble t : troubles_)
            EXPECT_EQ(t, c.trouble);
        EXPECT_FALSE(engine_->search(Timed()));
        engine_.reset();
    }
    // A program that is not there is given up at once.
    troubles_.clear();
    gaveUp_ = false;
    engine_ = std::make_unique<EngineProcess>(Quick());
    QObject::connect(engine_.get(), &EngineProcess::trouble,
                     [this](Trouble t, const QString&) { troubles_.push_back(t); });
    QObject::connect(engine_.get(), &EngineProcess::gaveUp, [this] { gaveUp_ = true; });
    engine_->start(dir_.filePath(QStringLiteral("no-such-engine")));
    ASSERT_TRUE(waitFor([&] { return gaveUp_; }));
    EXPECT_EQ(troubles_, (std::vector<Trouble>{Trouble::CannotStart}));
}

}  // namespace
}  // namespace xq::uci

namespace xq::uci {
namespace {

// The real Fairy-Stockfish where it is installed (scripts/setup installs it).
QString FairyStockfish() {
    return QStandardPaths::findExecutable(QStringLiteral("fairy-stockfish"),
                                          {QStringLiteral("/usr/games"), QStringLiteral("/usr/bin"),
                                           QStringLiteral("/usr/local/bin")});
}

TEST(RealEngineTest, FairyStockfishFindsTheMateInOurCoordinates) {
    const QString program = FairyStockfish();
    if (program.isEmpty()) GTEST_SKIP() << "fairy-stockfish is not installed";
    EngineProcess engine;
    std::vector<SearchLine> lines;
    std::optional<std::optional<Move>> best;
    QObject::connect(&engine, &EngineProcess::thinking,
                     [&](const SearchLine& l) { lines.push_back(l); });
    QObject::connect(&engine, &EngineProcess::bestMove, [&](std::optional<Move> m) { best = m; });
    engine.setSettings({1, 16, 2, std::nullopt});
    engine.start(program);
    // The chariot on b8 shuts rank 8; the other one mates along the back rank.
    SearchRequest r;
    r.start = *parseFen("4k4/1R7/9/9/9/9/9/9/9/R2K5 w");
    r.limit = SearchRequest::Limit::Depth;
    r.amount = 6;
    QElapsedTimer t;
    t.start();
    while (engine.state() != EngineProcess::State::Ready && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_EQ(engine.state(), EngineProcess::State::Ready);
    EXPECT_EQ(engine.rankBase(), RankBase::One);
    ASSERT_TRUE(engine.search(r));
    while (!best && t.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(best);
    EXPECT_EQ(*best, M("a0a9"));
    ASSERT_FALSE(lines.empty());
    const auto first = std::find_if(lines.rbegin(), lines.rend(),
                                    [](const SearchLine& l) { return l.multiPv == 1; });
    ASSERT_NE(first, lines.rend());
    const SearchLine& last = *first;
    ASSERT_TRUE(last.score);
    EXPECT_EQ(last.score->kind, Score::Mate);
    EXPECT_EQ(last.score->value, 1);
    EXPECT_EQ(last.pv.front(), M("a0a9"));
    // Two lines were asked for: the second best is seen too.
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const SearchLine& l) { return l.multiPv == 2; }));
}

}  // namespace
}  // namespace xq::uci

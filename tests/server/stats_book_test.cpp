// The statistics book with a store that answers later: what a name shows before and after the
// answer, and the rows sent again when it comes.

#include <gtest/gtest.h>

#include <functional>

#include "net/table_events.h"
#include "table_harness.h"

namespace xq::server::test {
namespace {

// Answers when told; knows only the names given to it.
class LaterStore : public StatsStore {
public:
    void look(const QString& name, Looked answer) override {
        ++asked[name];
        answers.append([this, name, answer] {
            const auto it = known.constFind(name);
            answer(it == known.constEnd() ? std::nullopt : std::optional(*it));
        });
    }
    void record(const GameOutcome& game, Stored stored) override {
        games.append(game);
        answers.append([this, game, stored] {
            for (int seat : {0, 1}) {
                const QString& name = game.names[static_cast<std::size_t>(seat)];
                known[name].score += game.scoreChange[static_cast<std::size_t>(seat)];
                stored(name, known[name]);
            }
        });
    }
    bool takesResults() const override { return true; }
    void answer() {
        while (!answers.isEmpty())
            answers.takeFirst()();
    }
    QHash<QString, UserStats> known;
    QHash<QString, int> asked;
    QList<GameOutcome> games;
    QList<std::function<void()>> answers;
};

UserStats Stored(int number, int score) {
    UserStats s;
    s.userNumber = number;
    s.score = score;
    s.face = 3;
    return s;
}

TEST(StatsBook, WithAStoreEveryNumberAndScoreIsTheStoresOwn) {
    const struct {
        const char* what;
        std::optional<UserStats> stored;  // what the store keeps of the name
        int arrivals;
        int numberBefore, numberAfter, scoreAfter, changes;
    } cases[] = {
        {"a stored player", Stored(10042, 1234), 1, 0, 10042, 1234, 1},
        {"arriving three times asks once", Stored(10043, 900), 3, 0, 10043, 900, 1},
        {"a name the store does not keep gets no number", std::nullopt, 1, 0, 0, 1000, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LaterStore store;
        StatsBook book(&store);
        QStringList changed;
        book.onChange([&](const QString& name) { changed << name; });
        const QString name = QStringLiteral("甲");
        if (c.stored) store.known.insert(name, *c.stored);
        for (int i = 0; i < c.arrivals; ++i)
            book.arrive(name);
        EXPECT_EQ(store.asked.value(name), 1);
        EXPECT_EQ(book.of(name).userNumber, c.numberBefore);
        store.answer();
        EXPECT_EQ(book.of(name).userNumber, c.numberAfter);
        EXPECT_EQ(book.of(name).score, c.scoreAfter);
        EXPECT_EQ(changed.size(), c.changes);
        // Asked again on the next arrival; the same answer changes nothing.
        book.arrive(name);
        store.answer();
        EXPECT_EQ(store.asked.value(name), 2);
        EXPECT_EQ(changed.size(), c.changes);
    }
}

TEST(StatsBook, AResultShowsOnlyOnceStoredAndAnAnswerAfterTheBookIsHarmless) {
    LaterStore store;
    store.known.insert(QStringLiteral("甲"), Stored(10001, 1000));
    store.known.insert(QStringLiteral("乙"), Stored(10002, 1000));
    auto book = std::make_unique<StatsBook>(&store);
    book->arrive(QStringLiteral("甲"));
    book->arrive(QStringLiteral("乙"));
    store.answer();
    GameOutcome game;
    game.names = {QStringLiteral("甲"), QStringLiteral("乙")};
    game.result = 1;
    game.scoreChange = {50, -50};
    book->recordGame(game);
    EXPECT_EQ(book->of(QStringLiteral("甲")).score, 1000) << "nothing counted here by itself";
    store.answer();
    EXPECT_EQ(book->of(QStringLiteral("甲")).score, 1050);
    EXPECT_EQ(book->of(QStringLiteral("乙")).score, 950);
    book->arrive(QStringLiteral("甲"));
    book->recordGame(game);
    book.reset();
    store.answer();  // nobody to tell: no crash
}

TEST(StatsBook, TheStoresAnswerSendsTheRowsAgainToEverybodyAtTheTable) {
    LaterStore store;
    StatsBook book(&store);
    RecordingOutput out;
    RoomTable table(out, {}, &book);
    book.onChange([&](const QString& name) { table.statsChanged(name); });
    store.known.insert(QStringLiteral("张三"), Stored(10007, 1500));
    store.known.insert(QStringLiteral("看客"), Stored(10009, 800));
    table.login(1, QStringLiteral("张三"), true);
    table.login(3, QStringLiteral("看客"), true, {}, Placement::Watch);
    out.clear();
    store.answer();
    for (const char* name : {"张三`10007`1500`", "看客`10009`800`"}) {
        for (ConnId id : {1, 3}) {
            const QList<Cmd> got = out.inbox.value(id);
            EXPECT_TRUE(
                std::any_of(got.begin(), got.end(),
                            [&](const Cmd& m) {
                                return m.startsWith(Text({108, 6}, QString::fromUtf8(name)));
                            }))
                << name << " to " << id;
        }
    }
    // A newcomer's list has the spectator's new row.
    table.login(4, QStringLiteral("李四"), true);
    QString list;
    const QList<Cmd> got = out.inbox.value(4);
    for (const Cmd& m : got) {
        if (m.startsWith(Bytes({130, 2}))) decodeCp936(QByteArrayView(m).sliced(2), list);
    }
    EXPECT_TRUE(list.contains(QStringLiteral("看客`10009`800`"))) << list.toStdString();
}

}  // namespace
}  // namespace xq::server::test

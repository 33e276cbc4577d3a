// The room without sockets: the hall's reservations, tables that do not disturb each other, and
// what the hall is told.

#include <gtest/gtest.h>

#include "net/hall_messages.h"
#include "server/room.h"
#include "table_harness.h"

namespace xq::server::test {
namespace {

// Keeps players and finished games; answers only when the test lets it, as a store on its own
// thread answers later. Can be told to take no results.
class MemoryStore : public StatsStore {
public:
    void look(const QString& name, Looked answer) override {
        answers.append([this, name, answer] {
            const auto it = players.constFind(name);
            answer(it == players.constEnd() ? std::nullopt : std::optional(*it));
        });
    }
    void record(const GameOutcome& game, Stored stored) override {
        if (failing) {
            kept.append(game);
            return;
        }
        games.append(game);
        answers.append([this, game, stored] {
            for (int seat : {0, 1}) {
                UserStats& s = players[game.names[static_cast<std::size_t>(seat)]];
                s.score += game.scoreChange[static_cast<std::size_t>(seat)];
                ++s.games;
                if (game.result == 2) {
                    ++s.drawn;
                } else {
                    ++(game.result == seat ? s.lost : s.won);
                }
            }
            for (const QString& name : game.names)
                stored(name, players[name]);
        });
    }
    bool takesResults() const override { return !failing; }
    // Everything asked so far is answered now.
    void answer() {
        while (!answers.isEmpty())
            answers.takeFirst()();
    }
    void add(const QString& name) {
        UserStats s;
        s.userNumber = 20000 + static_cast<int>(players.size());
        s.face = 7;
        players.insert(name, s);
    }
    QHash<QString, UserStats> players;
    QList<GameOutcome> games;
    QList<GameOutcome> kept;  // while failing
    QList<std::function<void()>> answers;
    bool failing = false;
};

class RoomTest : public ::testing::Test {
protected:
    void SetUp() override { makeRoom(3); }
    void makeRoom(int tables) {
        room.reset();
        book = std::make_unique<StatsBook>(&store);
        for (const QString& name :
             {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")})
            store.add(name);
        room = std::make_unique<Room>(out, RoomOptions{tables, ChatRate{2, 1000}, 60'000}, *book);
    }

    // Hall ids are 100 + n, table clients 200 + n.
    bool hallIn(ConnId id, const QString& name, const QString& ticket) {
        return room->hallLogin(id, name, ticket);
    }
    std::optional<hall::in::ServerMessage> lastHall(ConnId id, int code, int sub = -1) const {
        const QList<Cmd> msgs = out.inbox.value(id);
        for (auto it = msgs.rbegin(); it != msgs.rend(); ++it) {
            if (it->isEmpty() || byteAt(*it, 0) != code) continue;
            if (sub >= 0 && (it->size() < 2 || byteAt(*it, 1) != sub)) continue;
            return hall::parseServerMessage(*it);
        }
        return std::nullopt;
    }
    hall::TableRow shownTable(ConnId hallId, int number) const {
        room->flushHall();
        hall::TableRow row;
        for (const Cmd& m : out.inbox.value(hallId)) {
            const auto parsed = hall::parseServerMessage(m);
            if (!parsed) continue;
            if (const auto* all = std::get_if<hall::in::Tables>(&*parsed)) {
                for (const auto& r : all->rows)
                    if (r.number == number) row = r;
            }
            if (const auto* batch = std::get_if<hall::in::TableRows>(&*parsed)) {
                for (const auto& r : batch->rows)
                    if (r.number == number) row = r;
            }
        }
        return row;
    }
    hall::PlayerRow ownRow(ConnId hallId) const {
        const auto m = lastHall(hallId, hall::code::kOwnRow);
        return m ? std::get<hall::in::OwnRow>(*m).row : hall::PlayerRow{};
    }
    std::optional<hall::in::Reservation> answer(ConnId hallId) const {
        const auto m = lastHall(hallId, hall::code::kReservation);
        if (!m) return std::nullopt;
        return std::get<hall::in::Reservation>(*m);
    }
    // The one-time ticket of the hall user's last grant.
    QString granted(ConnId hallId) const {
        const auto a = answer(hallId);
        return a && a->granted ? a->ticket : QString();
    }
    QByteArray lastOf(ConnId id, int code) const {
        const QList<Cmd> msgs = out.inbox.value(id);
        for (auto it = msgs.rbegin(); it != msgs.rend(); ++it) {
            if (!it->isEmpty() && byteAt(*it, 0) == code) return *it;
        }
        return {};
    }
    QString lastNotice(ConnId id) const {
        const QList<Cmd> msgs = out.inbox.value(id);
        for (auto it = msgs.rbegin(); it != msgs.rend(); ++it) {
            if (!it->isEmpty() && byteAt(*it, 0) == 24) {
                QString text;
                decodeCp936(QByteArrayView(*it).sliced(1), text);
                return text;
            }
        }
        return {};
    }
    // Both seated at a table through the hall, the terms agreed: a game runs.
    void gameAt(int table, ConnId a, ConnId b) {
        room->receive(101, hall::reserveSeat(table, 0));
        room->receive(102, hall::reserveSeat(table, 1));
        ASSERT_TRUE(room->tableLogin(a, QStringLiteral("甲"), true, granted(101)));
        ASSERT_TRUE(room->tableLogin(b, QStringLiteral("乙"), true, granted(102)));
        room->receive(a, Text({112, 1}, QStringLiteral("甲")));
        room->receive(a, Text({112, 0}, QStringLiteral("甲`") + kDefaultTerms));
        room->receive(b, Text({112, 1}, QStringLiteral("乙")));
        ASSERT_EQ(room->table(table).phase(), TablePhase::Playing);
    }

    // The side to move and then the other, twice each: horses out and back.
    void twoMovesEach(int table, ConnId seat0, ConnId seat1) {
        for (const Step& st : kShuffle) {
            const BoardGame& g = room->table(table).game();
            const int seat = g.toMove();
            room->receive(seat == 0 ? seat0 : seat1, Bytes({19, 0, seat, packPoint(st[0], st[1]),
                                                            pieceAt(g.board(), st[0], st[1]),
                                                            packPoint(st[2], st[3]), 0, 0, 0, 0}));
        }
        ASSERT_EQ(room->table(table).game().halfMoves(), 4);
    }

    RecordingOutput out;
    MemoryStore store;
    std::unique_ptr<StatsBook> book;
    std::unique_ptr<Room> room;
};

TEST_F(RoomTest, TheHallReservesAPlaceAndTheTableClientIsLetInThere) {
    ASSERT_TRUE(hallIn(101, QStringLiteral("甲"), QStringLiteral("t1")));
    ASSERT_TRUE(hallIn(102, QStringLiteral("乙"), QStringLiteral("t2")));
    EXPECT_EQ(ownRow(101).userNumber, 0) << "no number before the store says one";
    store.answer();
    EXPECT_EQ(ownRow(101).userNumber, 20000) << "the store's number";
    EXPECT_EQ(ownRow(101).face, 7);

    room->receive(101, hall::reserveSeat(2, 1));
    ASSERT_TRUE(answer(101) && answer(101)->granted);
    const QString ticket = granted(101);
    EXPECT_EQ(ticket.size(), 32) << "128 bits in hex";
    EXPECT_EQ(shownTable(102, 2).names[1], QStringLiteral("甲")) << "a reserved seat is taken";
    EXPECT_EQ(ownRow(101).table, 2);
    EXPECT_EQ(ownRow(101).place, hall::Place::Seat1);

    // Refusals, each with its reason.
    const struct {
        Cmd request;
        const char* reason;
    } refusals[] = {
        {hall::reserveSeat(2, 1), "座位已有人"},
        {hall::reserveWatch(3), "该桌没有棋手"},
        {hall::reserveSeat(4, 0), "没有这张桌子"},
    };
    for (const auto& r : refusals) {
        room->receive(102, r.request);
        ASSERT_TRUE(answer(102));
        EXPECT_FALSE(answer(102)->granted);
        EXPECT_EQ(answer(102)->reason, QString::fromUtf8(r.reason));
    }
    room->receive(101, hall::reserveSeat(1, 0));
    EXPECT_EQ(answer(101)->reason, QStringLiteral("你已在2号桌"));

    // Another ticket (the hall's own among them) does not get the reserved seat; the grant's
    // gets exactly it.
    EXPECT_FALSE(room->tableLogin(201, QStringLiteral("甲"), true, QStringLiteral("stolen")));
    EXPECT_EQ(lastNotice(201), QStringLiteral("用户名 甲 已被他人使用"));
    EXPECT_FALSE(room->tableLogin(205, QStringLiteral("甲"), true, QStringLiteral("t1")));
    ASSERT_TRUE(room->tableLogin(202, QStringLiteral("甲"), true, ticket));
    EXPECT_EQ(room->table(2).seatName(1), QStringLiteral("甲"));
    EXPECT_TRUE(room->table(2).seatName(0).isEmpty());

    // Watching the table now that somebody sits there.
    room->receive(102, hall::reserveWatch(2));
    ASSERT_TRUE(answer(102)->granted);
    ASSERT_TRUE(room->tableLogin(203, QStringLiteral("乙"), true, granted(102)));
    EXPECT_EQ(room->table(2).placeOf(QStringLiteral("乙")), 2);
    EXPECT_EQ(shownTable(101, 2).spectators, 1);
    EXPECT_EQ(ownRow(102).place, hall::Place::Watch);

    // Without a reservation a table client of a room of several tables is sent to the hall.
    EXPECT_FALSE(room->tableLogin(204, QStringLiteral("丙"), true, QString()));
    EXPECT_EQ(lastNotice(204), QStringLiteral("请先在大厅选择座位"));

    // The watcher's window closes: the hall shows him at no table, and the count follows.
    room->disconnect(203);
    EXPECT_EQ(ownRow(102).table, 0);
    EXPECT_EQ(shownTable(101, 2).spectators, 0);
}

TEST_F(RoomTest, AReservationNotTakenUpIsFreedAfterItsTime) {
    ASSERT_TRUE(hallIn(101, QStringLiteral("甲"), QStringLiteral("t1")));
    room->receive(101, hall::reserveSeat(1, 0));
    const QString ticket = granted(101);
    room->advanceTo(59'000);
    EXPECT_EQ(shownTable(101, 1).names[0], QStringLiteral("甲"));
    room->advanceTo(60'000);
    EXPECT_TRUE(shownTable(101, 1).names[0].isEmpty());
    EXPECT_EQ(ownRow(101).table, 0);
    EXPECT_FALSE(room->tableLogin(201, QStringLiteral("甲"), true, ticket))
        << "too late: the place and its ticket are gone";
}

TEST_F(RoomTest, HallLoginsAreCheckedLikeTableLogins) {
    ASSERT_TRUE(hallIn(101, QStringLiteral("甲"), QStringLiteral("t1")));
    // His hall again with the same ticket (restarted before the old connection was seen to end):
    // the newer one stays, the older is told and closed.
    ASSERT_TRUE(hallIn(102, QStringLiteral("甲"), QStringLiteral("t1")));
    EXPECT_EQ(lastNotice(101), QStringLiteral("你的账号已在别处登录"));
    EXPECT_TRUE(out.closed.contains(101));
    EXPECT_FALSE(room->inHall(101));
    EXPECT_TRUE(room->inHall(102));
    // Without the ticket, or with another one, the name is somebody else's.
    EXPECT_FALSE(hallIn(103, QStringLiteral("甲"), QString()));
    EXPECT_EQ(lastNotice(103), QStringLiteral("用户名 甲 已被他人使用"));
    room->disconnect(102);
    EXPECT_FALSE(hallIn(104, QStringLiteral("甲"), QStringLiteral("other")));
    EXPECT_EQ(lastNotice(104), QStringLiteral("用户名 甲 已被他人使用"));
    EXPECT_TRUE(hallIn(105, QStringLiteral("甲"), QStringLiteral("t1")));
    // A guest without a ticket cannot be told from another: the second is refused.
    ASSERT_TRUE(hallIn(106, QStringLiteral("丁"), QString()));
    EXPECT_FALSE(hallIn(107, QStringLiteral("丁"), QString()));
    EXPECT_EQ(lastNotice(107), QStringLiteral("用户名 丁 已在大厅"));
    EXPECT_TRUE(room->inHall(106));
}

TEST_F(RoomTest, ARoomOfAccountsLetsInOnlyWhomItChecked) {
    room.reset();
    room = std::make_unique<Room>(out, RoomOptions{2, ChatRate{2, 1000}, 60'000, /*accounts=*/true},
                                  *book);
    // A guest's hello is refused with the way in.
    EXPECT_FALSE(hallIn(100, QStringLiteral("甲"), QStringLiteral("t1")));
    EXPECT_EQ(lastNotice(100), QStringLiteral("本房间需要账号：请输入密码登录，或先注册"));
    EXPECT_TRUE(out.closed.contains(100));

    room->accountLogin(101, QStringLiteral("甲"));
    ASSERT_TRUE(room->isAccount(101));
    EXPECT_EQ(ownRow(101).name, QStringLiteral("甲"));
    // The same account again: the newest login wins.
    room->accountLogin(102, QStringLiteral("甲"));
    EXPECT_EQ(lastNotice(101), QStringLiteral("你的账号已在别处登录"));
    EXPECT_FALSE(room->inHall(101));

    // A table client needs the ticket of a grant: no ticket, a made-up one, the name alone.
    const struct {
        ConnId id;
        const char* ticket;
    } without[] = {{201, ""}, {202, "0123456789abcdef0123456789abcdef"}, {203, "-"}};
    for (const auto& w : without) {
        EXPECT_FALSE(
            room->tableLogin(w.id, QStringLiteral("甲"), true, QString::fromUtf8(w.ticket)));
        EXPECT_EQ(lastNotice(w.id), QStringLiteral("请先在大厅登录")) << w.ticket;
    }
    room->receive(102, hall::reserveSeat(2, 0));
    const QString ticket = granted(102);
    ASSERT_FALSE(ticket.isEmpty());
    // Good for that name only.
    EXPECT_FALSE(room->tableLogin(204, QStringLiteral("乙"), true, ticket));
    ASSERT_TRUE(room->tableLogin(205, QStringLiteral("甲"), true, ticket));
    EXPECT_EQ(room->table(2).seatName(0), QStringLiteral("甲"));
    // Spent: the same ticket again is nobody's.
    room->disconnect(205);
    EXPECT_FALSE(room->tableLogin(206, QStringLiteral("甲"), true, ticket));
    EXPECT_EQ(lastNotice(206), QStringLiteral("请先在大厅登录"));
}

TEST_F(RoomTest, AWindowThatCrashedComesBackToItsSeatThroughTheHall) {
    ASSERT_TRUE(hallIn(101, QStringLiteral("甲"), QStringLiteral("t1")));
    ASSERT_TRUE(hallIn(102, QStringLiteral("乙"), QStringLiteral("t2")));
    gameAt(1, 201, 202);
    // While his window is there, his own seat is not his to reserve again.
    room->receive(101, hall::reserveSeat(1, 0));
    EXPECT_EQ(answer(101)->reason, QStringLiteral("你已在1号桌"));

    room->disconnect(201);  // the window crashed during the game
    ASSERT_TRUE(room->table(1).offline(0));
    // Nobody else gets that seat, nor the other player's.
    room->receive(102, hall::reserveSeat(1, 0));
    EXPECT_FALSE(answer(102)->granted);
    room->receive(101, hall::reserveSeat(1, 1));
    EXPECT_FALSE(answer(101)->granted);
    // His own seat: a new grant, and the window it starts is back in the game.
    room->receive(101, hall::reserveSeat(1, 0));
    ASSERT_TRUE(answer(101)->granted);
    ASSERT_TRUE(room->tableLogin(203, QStringLiteral("甲"), true, granted(101)));
    EXPECT_FALSE(room->table(1).offline(0));
    EXPECT_EQ(room->table(1).seatOf(203), 0);
    EXPECT_EQ(room->table(1).phase(), TablePhase::Playing);
}

TEST_F(RoomTest, HallChatCarriesTheSpeakerAndHasARate) {
    ASSERT_TRUE(hallIn(101, QStringLiteral("甲"), QStringLiteral("t1")));
    ASSERT_TRUE(hallIn(102, QStringLiteral("乙"), QStringLiteral("t2")));
    for (int i = 0; i < 4; ++i)
        room->receive(101, hall::say(QStringLiteral("第%1句").arg(i)));
    int lines = 0;
    for (const Cmd& m : out.inbox.value(102)) {
        const auto parsed = hall::parseServerMessage(m);
        if (parsed && std::holds_alternative<hall::in::Chat>(*parsed)) {
            EXPECT_EQ(std::get<hall::in::Chat>(*parsed).speaker, QStringLiteral("甲"));
            ++lines;
        }
    }
    EXPECT_EQ(lines, 2) << "a burst of two, then one a second";
    EXPECT_EQ(lastNotice(101), QStringLiteral("发言太快，请稍后再说"));
}

TEST_F(RoomTest, HallChatRelaysALineBreakAsABlank) {
    ASSERT_TRUE(hallIn(101, QStringLiteral("甲"), QStringLiteral("t1")));
    ASSERT_TRUE(hallIn(102, QStringLiteral("乙"), QStringLiteral("t2")));
    const QString fake = QStringLiteral("乙：我认输");
    const struct {
        QString said;
        QString relayed;
    } cases[] = {
        {QStringLiteral("好\n") + fake, QStringLiteral("好 ") + fake},
        {QStringLiteral("好\r") + fake, QStringLiteral("好 ") + fake},
        {QStringLiteral("好\r\n") + fake, QStringLiteral("好  ") + fake},
        {QStringLiteral("a\tb\x1b\x7f"), QStringLiteral("a b  ")},
        {QStringLiteral("好`坏"), QStringLiteral("好`坏")},
    };
    qint64 now = 0;
    for (const auto& c : cases) {
        out.clear();
        room->advanceTo(now += 10'000);
        room->receive(101, hall::say(c.said));
        const auto line = lastHall(102, hall::code::kChat);
        ASSERT_TRUE(line.has_value()) << c.said.toStdString();
        EXPECT_EQ(std::get<hall::in::Chat>(*line).text, c.relayed);
    }
}

TEST_F(RoomTest, TablesDoNotDisturbEachOtherAndResultsReachTheHallAndTheStore) {
    ASSERT_TRUE(hallIn(101, QStringLiteral("甲"), QStringLiteral("t1")));
    ASSERT_TRUE(hallIn(102, QStringLiteral("乙"), QStringLiteral("t2")));
    gameAt(1, 201, 202);
    EXPECT_TRUE(shownTable(101, 1).playing);

    // At table 2, somebody floods and sends garbage; table 1 sees none of it.
    ASSERT_TRUE(hallIn(103, QStringLiteral("丙"), QStringLiteral("t3")));
    room->receive(103, hall::reserveSeat(2, 0));
    ASSERT_TRUE(room->tableLogin(203, QStringLiteral("丙"), true, granted(103)));
    const qsizetype before = out.inbox.value(201).size();
    for (int i = 0; i < 50; ++i) {
        room->receive(203, Text({1}, QStringLiteral("丙`所有人`丙`所有人`12:00:00`刷屏`#000000`"
                                                    "1`0`")));
        room->receive(203, Bytes({19, 0, 0, 1, 2, 3, 4, 0, 0, 0}));
        room->receive(203, Bytes({250, 1, 2}));
    }
    EXPECT_EQ(out.inbox.value(201).size(), before);

    // 乙 resigns after two moves each: the store gets the game with table, names and moves; the
    // hall the new scores once the store has them.
    store.answer();
    twoMovesEach(1, 201, 202);
    room->receive(202, Bytes({22, 0, 1}));
    ASSERT_EQ(store.games.size(), 1);
    const GameOutcome& g = store.games.front();
    EXPECT_EQ(g.table, 1);
    EXPECT_EQ(g.names[0], QStringLiteral("甲"));
    EXPECT_EQ(g.result, 1);
    EXPECT_EQ(g.reason, QStringLiteral("认输"));
    EXPECT_EQ(g.scoreChange[0], 100);
    EXPECT_EQ(g.terms, kDefaultTerms);
    EXPECT_EQ(ownRow(101).score, 1000) << "not before the store has it";
    store.answer();
    EXPECT_EQ(ownRow(101).score, 1100);
    EXPECT_EQ(ownRow(101).won, 1);
    EXPECT_EQ(ownRow(102).lost, 1);
    EXPECT_EQ(shownTable(103, 1).scores[1], 900);
    EXPECT_FALSE(shownTable(103, 1).playing);
    const QList<Cmd> atTable = out.inbox.value(201);
    EXPECT_TRUE(std::any_of(atTable.begin(), atTable.end(), [](const Cmd& m) {
        return m.startsWith(Text({108, 6}, QStringLiteral("甲`20000`1100`")));
    })) << "the table is told the stored figures too";

    // A store that takes no results: the hall is told once, and a game started now is played
    // for nothing, as its players are told.
    store.failing = true;
    room->advanceTo(1000);
    room->advanceTo(1200);
    EXPECT_EQ(
        out.inbox.value(103).count(hall::notice(QStringLiteral("数据库暂时不可用，对局暂不计分"))),
        1);
    // Who comes meanwhile is told too.
    ASSERT_TRUE(hallIn(104, QStringLiteral("丁"), QStringLiteral("t4")));
    EXPECT_EQ(
        out.inbox.value(104).count(hall::notice(QStringLiteral("数据库暂时不可用，对局暂不计分"))),
        1);
    room->receive(201, Bytes({18, 0}));
    room->receive(202, Bytes({18, 1}));
    ASSERT_EQ(room->table(1).phase(), TablePhase::Playing);
    EXPECT_EQ(lastNotice(201), QStringLiteral("数据库暂时不可用，本局不计分"));
    EXPECT_EQ(lastNotice(202), QStringLiteral("数据库暂时不可用，本局不计分"));
    store.failing = false;
    room->advanceTo(1400);
    EXPECT_EQ(
        out.inbox.value(103).count(hall::notice(QStringLiteral("数据库已恢复，对局重新计分"))), 1);
    twoMovesEach(1, 201, 202);
    room->receive(201, Bytes({22, 0, 0}));
    EXPECT_EQ(store.games.size(), 1) << "an unrated game is not recorded";
    EXPECT_TRUE(store.kept.isEmpty());
    const QByteArray end = lastOf(201, 25);
    ASSERT_GE(end.size(), 9);
    EXPECT_EQ(end.mid(1, 8), QByteArray(8, '\0')) << "no score changes";
    store.answer();
    EXPECT_EQ(ownRow(101).score, 1100);
}

TEST_F(RoomTest, ALoneTableTakesArrivalsAsBeforeButLeavesReservedSeatsAlone) {
    makeRoom(1);
    ASSERT_TRUE(room->tableLogin(201, QStringLiteral("甲"), true, QString()));
    EXPECT_EQ(room->table(1).seatName(0), QStringLiteral("甲"));
    ASSERT_TRUE(hallIn(101, QStringLiteral("乙"), QStringLiteral("t2")));
    room->receive(101, hall::reserveSeat(1, 1));
    ASSERT_TRUE(answer(101)->granted);
    const QString ticket = granted(101);
    // Anybody else coming in without a reservation watches; the computer opponent is kept out.
    ASSERT_TRUE(room->tableLogin(202, QStringLiteral("丙"), true, QString()));
    EXPECT_EQ(room->table(1).placeOf(QStringLiteral("丙")), 2);
    EXPECT_FALSE(room->botLogin(203, QStringLiteral("象棋机器人")));
    ASSERT_TRUE(room->tableLogin(204, QStringLiteral("乙"), true, ticket));
    EXPECT_EQ(room->table(1).seatName(1), QStringLiteral("乙"));
}

TEST_F(RoomTest, ACrowdArrivingInOneTurnCostsEverybodyElseOneBatch) {
    const auto name = [](int n) { return QStringLiteral("客%1").arg(n); };
    for (int n = 0; n < 3; ++n)
        ASSERT_TRUE(hallIn(100 + n, name(n), QStringLiteral("t%1").arg(n)));
    room->flushHall();
    room->receive(100, hall::reserveSeat(2, 0));
    room->flushHall();
    out.clear();

    // In one turn: forty arrive, one of them leaves again at once, one of the earlier users
    // leaves, another reserves a seat.
    for (int n = 3; n < 43; ++n)
        ASSERT_TRUE(hallIn(100 + n, name(n), QStringLiteral("t%1").arg(n)));
    room->disconnect(110);
    room->disconnect(102);
    room->receive(101, hall::reserveSeat(3, 1));
    const auto kinds = [&](ConnId id) {
        QList<int> codes;
        for (const Cmd& m : out.inbox.value(id))
            if (byteAt(m, 0) != hall::code::kOwnRow && byteAt(m, 0) != hall::code::kReservation)
                codes.append(byteAt(m, 0));
        return codes;
    };
    EXPECT_EQ(kinds(100), QList<int>{}) << "nothing before the end of the turn";
    EXPECT_TRUE(lastHall(105, hall::code::kOwnRow).has_value()) << "his own row at once";
    room->flushHall();

    // The users from before: the names that left, the rows that came or changed, the tables.
    const QList<int> batch{hall::code::kPlayersGone, hall::code::kPlayerRows,
                           hall::code::kTableRows};
    EXPECT_EQ(kinds(100), batch);
    EXPECT_EQ(kinds(101), batch);
    const auto gone = std::get<hall::in::PlayersGone>(*lastHall(100, hall::code::kPlayersGone));
    EXPECT_EQ(gone.names, QStringList{name(2)}) << "who came and went at once was never seen";
    const auto rows = std::get<hall::in::PlayerRows>(*lastHall(100, hall::code::kPlayerRows));
    QStringList expected;
    for (int n = 3; n < 43; ++n)
        if (n != 10) expected << name(n);
    expected << name(1);
    QStringList got;
    for (const auto& r : rows.rows)
        got << r.name;
    EXPECT_EQ(got, expected) << "newcomers in the order they came, then the changed row";
    EXPECT_EQ(rows.rows.last().table, 3);
    const auto tables = std::get<hall::in::TableRows>(*lastHall(100, hall::code::kTableRows));
    ASSERT_EQ(tables.rows.size(), 1);
    EXPECT_EQ(tables.rows[0].names[1], name(1));

    // Each newcomer: the whole hall and every table, once, and no batch of what it already has.
    const QList<int> whole{hall::code::kPlayers, hall::code::kTables};
    for (int n = 3; n < 43; ++n) {
        if (n == 10) continue;
        ASSERT_EQ(kinds(100 + n), whole) << n;
    }
    const auto all = std::get<hall::in::Players>(*lastHall(120, hall::code::kPlayers));
    QSet<QString> everybody;
    for (const auto& r : all.rows)
        everybody.insert(r.name);
    EXPECT_EQ(everybody.size(), 41);
    EXPECT_FALSE(everybody.contains(name(2)));
    EXPECT_FALSE(everybody.contains(name(10)));
    EXPECT_TRUE(everybody.contains(name(42)));
    // The newcomers' lists are one message, shared, not one made for each.
    EXPECT_TRUE(out.inbox.value(103)[1].isSharedWith(out.inbox.value(142)[1]));

    // A quiet turn sends nothing.
    out.clear();
    room->flushHall();
    EXPECT_TRUE(out.inbox.isEmpty());
}

TEST_F(RoomTest, SomebodyWhoComesBackInTheSameTurnIsNotToldAsGone) {
    ASSERT_TRUE(hallIn(101, QStringLiteral("甲"), QStringLiteral("t1")));
    ASSERT_TRUE(hallIn(102, QStringLiteral("乙"), QStringLiteral("t2")));
    room->flushHall();
    out.clear();
    // His hall restarted: the new connection takes the place of the old one.
    ASSERT_TRUE(hallIn(103, QStringLiteral("甲"), QStringLiteral("t1")));
    room->flushHall();
    EXPECT_FALSE(lastHall(102, hall::code::kPlayersGone).has_value());
    const auto rows = lastHall(102, hall::code::kPlayerRows);
    ASSERT_TRUE(rows.has_value());
    EXPECT_EQ(std::get<hall::in::PlayerRows>(*rows).rows.first().name, QStringLiteral("甲"));
}

}  // namespace
}  // namespace xq::server::test

// The room: its hall and three tables, fed by six people who log in to the hall as guests or
// accounts, reserve places, bring their table clients with the tickets they were granted (or
// with wrong ones), talk, play, drop and come back, with time passing, a store that fails when
// the input says so, and the running games kept and set up again as a restart would. The input
// is a sequence of records: an action byte, a length byte, then that many bytes.
//
// Checked beyond "no crash": nothing is sent to a connection that is gone; no name sits on two
// seats; a hall has one connection per name; a granted ticket is 32 hexadecimal digits; and
// every running game the room keeps can be set up again at an empty table.

#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "net/hall_messages.h"
#include "request_round_trip.h"
#include "seeds.h"
#include "server/room.h"

namespace xq::fuzz {
namespace {

constexpr int kPeople = 6;
constexpr int kTables = 3;

QString nameOf(int who) {
    static const std::array<QString, kPeople> names{QStringLiteral("甲"), QStringLiteral("乙"),
                                                    QStringLiteral("丙"), QStringLiteral("丁"),
                                                    QStringLiteral("戊"), QStringLiteral("己")};
    return names[static_cast<std::size_t>(who % kPeople)];
}

// A store that answers later, when the input says so, and says no while it is failing: a
// lookup gets nothing, a result waits until the store works again.
class FlakyStore : public server::StatsStore {
public:
    bool failing = false;
    void look(const QString&, Looked answer) override { looks_.push_back(std::move(answer)); }
    void record(const server::GameOutcome& game, Stored stored) override {
        results_.push_back({game, std::move(stored)});
    }
    bool takesResults() const override { return !failing; }
    // Everything asked so far is answered (the results only while the store works).
    void answer() {
        std::vector<Looked> looks;
        looks.swap(looks_);
        for (Looked& l : looks) {
            server::UserStats s;
            s.userNumber = 10001;
            l(failing ? std::nullopt : std::optional<server::UserStats>(s));
        }
        if (failing) return;
        std::vector<Result> results;
        results.swap(results_);
        for (Result& r : results) {
            for (const QString& name : r.game.names)
                r.stored(name, server::UserStats{});
        }
    }

private:
    struct Result {
        server::GameOutcome game;
        Stored stored;
    };
    std::vector<Looked> looks_;
    std::vector<Result> results_;
};

class RoomPeople : public server::TableOutput {
public:
    RoomPeople() : book(&store), room(*this, options(), book) {}

    static server::RoomOptions options() {
        server::RoomOptions o;
        o.tables = kTables;
        return o;
    }

    void send(const server::ConnIds& to, const Cmd& message) override {
        for (server::ConnId id : to) {
            if (!open_.count(id)) __builtin_trap();  // sent to a connection that is gone
        }
        if (to.size() != 1 || message.isEmpty() ||
            static_cast<std::uint8_t>(message[0]) != hall::code::kReservation)
            return;
        const auto parsed = hall::parseServerMessage(message);
        const auto* r = parsed ? std::get_if<hall::in::Reservation>(&*parsed) : nullptr;
        if (r == nullptr || !r->granted) return;
        static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{32}$"));
        if (!hex.match(r->ticket).hasMatch()) __builtin_trap();  // a guessable ticket
        const int who = whoseHall_.value(to.front(), -1);
        if (who >= 0) granted_[static_cast<std::size_t>(who)] = r->ticket;
    }
    void close(server::ConnId id) override { closing_.insert(id); }
    void log(const QString&) override {}

    // A hall connection for the person: a guest with one of three tickets, or an account.
    void hallIn(int who, int how) {
        const server::ConnId id = open();
        whoseHall_.insert(id, who);
        hall_[static_cast<std::size_t>(who)] = id;
        static const std::array<QString, 3> tickets{QString(), QStringLiteral("t-one"),
                                                    QStringLiteral("t-two")};
        if (how % 4 == 3) {
            room.accountLogin(id, nameOf(who));
        } else {
            room.hallLogin(id, nameOf(who), tickets[static_cast<std::size_t>(how % 3)]);
        }
        settle();
    }
    // A table client: with the ticket of the person's last grant, or a wrong or no ticket.
    void tableIn(int who, int how) {
        const server::ConnId id = open();
        table_[static_cast<std::size_t>(who)] = id;
        QString ticket;
        if (how % 3 == 0) ticket = granted_[static_cast<std::size_t>(who)];
        if (how % 3 == 1) ticket = QStringLiteral("t-one");
        room.tableLogin(id, nameOf(who), how % 2 == 0, ticket);
        settle();
    }
    void computerIn() {
        room.botLogin(open(), QStringLiteral("电脑"));
        settle();
    }
    void toHall(int who, const Cmd& m) { receive(hall_[static_cast<std::size_t>(who)], m); }
    void toTable(int who, const Cmd& m) { receive(table_[static_cast<std::size_t>(who)], m); }
    void dropHall(int who) { drop(hall_[static_cast<std::size_t>(who)]); }
    void dropTable(int who) { drop(table_[static_cast<std::size_t>(who)]); }
    void advance(qint64 ms) {
        now_ += ms;
        room.advanceTo(now_);
        settle();
    }
    void storeAnswers() {
        room.setNow(now_);
        store.answer();
        settle();
    }

    // What the room would keep for a restart must be something a restart can set up again.
    void checkKeptGames() {
        const server::Room::RunningChanges changes = room.takeRunningChanges();
        for (const server::RunningGame& game : changes.changed) {
            server::RoomTable fresh(nullOutput_);
            fresh.setNumber(game.table);
            if (!fresh.resume(game)) __builtin_trap();
            if (fresh.runningGame() != game) __builtin_trap();
        }
        if (changes.changed.size() % 2 == 1) room.keptFailed(changes);  // and taken again
    }

    void checkSeats() const {
        std::vector<QString> seated;
        for (int n = 1; n <= room.tableCount(); ++n) {
            for (int s = 0; s < 2; ++s) {
                const QString name = room.table(n).seatName(s);
                if (!name.isEmpty() && !Unique(seated, name)) __builtin_trap();
            }
        }
        std::vector<QString> inHall;
        for (server::ConnId id : open_) {
            if (room.inHall(id) && !Unique(inHall, room.hallName(id))) __builtin_trap();
        }
    }

    FlakyStore store;
    server::StatsBook book;
    server::Room room;

private:
    class NullOutput : public server::TableOutput {
    public:
        void send(const server::ConnIds&, const Cmd&) override {}
        void close(server::ConnId) override {}
        void log(const QString&) override {}
    };

    // A handful of names: a plain list is the cheapest to look through.
    static bool Unique(std::vector<QString>& seen, const QString& name) {
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) return false;
        seen.push_back(name);
        return true;
    }
    server::ConnId open() {
        const server::ConnId id = nextId_++;
        open_.insert(id);
        room.setNow(now_);
        return id;
    }
    void receive(server::ConnId id, const Cmd& m) {
        if (!open_.count(id)) return;
        room.setNow(now_);
        room.receive(id, m);
        settle();
    }
    void drop(server::ConnId id) {
        if (!open_.erase(id)) return;
        room.setNow(now_);
        room.disconnect(id);
        settle();
    }
    // Connections the room closed end now, and the room hears of it, as the server does.
    void settle() {
        while (!closing_.empty()) {
            const server::ConnId id = *closing_.begin();
            closing_.erase(closing_.begin());
            if (open_.erase(id)) room.disconnect(id);
        }
        // The hall's batch of the turn, as the server sends it at the end of each.
        room.flushHall();
        checkSeats();
    }

    NullOutput nullOutput_;
    // Ordered sets: they are walked after every step, and a hash would walk its empty buckets.
    std::set<server::ConnId> open_;
    std::set<server::ConnId> closing_;
    QHash<server::ConnId, int> whoseHall_;
    std::array<server::ConnId, kPeople> hall_{};
    std::array<server::ConnId, kPeople> table_{};
    std::array<QString, kPeople> granted_;
    server::ConnId nextId_ = 1;
    qint64 now_ = 0;
};

// Action bytes: what a record does (the low four bits) and who does it (the next three).
enum Action {
    kHallIn = 0,
    kTableIn = 1,
    kToHall = 2,
    kToTable = 3,
    kDropHall = 4,
    kDropTable = 5,
    kTime = 6,
    kStore = 7,
    kKeep = 8,
    kComputer = 9,
    kReserve = 10,
    kAnswer = 11,
};

int Act(int action, int who) {
    return action | (who << 4);
}

}  // namespace

std::vector<QByteArray> Seeds() {
    const QString terms = QStringLiteral("100`1000`10`5`50`0`0`30`0`0`30");
    // 甲 and 乙 take table 2 through the hall, agree, and play two moves each.
    QByteArray seated =
        Record(QByteArray(1, 3), Act(kHallIn, 0)) + Record(QByteArray(1, 3), Act(kHallIn, 1)) +
        Record(QByteArray{"\x02\x00", 2}, Act(kReserve, 0)) +
        Record(QByteArray{"\x02\x01", 2}, Act(kReserve, 1)) +
        Record(QByteArray(1, 0), Act(kTableIn, 0)) + Record(QByteArray(1, 0), Act(kTableIn, 1));
    const QByteArray start =
        seated + Record(Msg({112, 1}, QStringLiteral("甲")), Act(kToTable, 0)) +
        Record(Msg({112, 0}, QStringLiteral("甲`") + terms), Act(kToTable, 0)) +
        Record(Msg({112, 1}, QStringLiteral("乙")), Act(kToTable, 1));
    const QByteArray moves = Record(Msg({19, 0, 0, 0x77, 19, 0x74, 0, 0, 0, 0}), Act(kToTable, 0)) +
                             Record(Msg({19, 0, 1, 0x01, 2, 0x22, 0, 0, 0, 0}), Act(kToTable, 1)) +
                             Record(QByteArray(), kKeep);
    return {
        seated,
        start + moves,
        // The store fails while a game ends; a player drops and comes back with a new grant.
        start + moves + Record(QByteArray(), kStore) + Record(Msg({22, 0, 1}), Act(kToTable, 1)) +
            Record(QByteArray(), Act(kDropTable, 0)) +
            Record(QByteArray{"\x02\x00", 2}, Act(kReserve, 0)) +
            Record(QByteArray(1, 0), Act(kTableIn, 0)) + Record(QByteArray(), kAnswer) +
            Record(QByteArray(), kStore) + Record(QByteArray(), kAnswer),
        // Guests with tickets, a chat, a watcher, a lapsed reservation, a thief's ticket.
        Record(QByteArray(1, 1), Act(kHallIn, 2)) + Record(QByteArray(1, 2), Act(kHallIn, 3)) +
            Record(Msg({206}, QStringLiteral("大家好")), Act(kToHall, 2)) +
            Record(QByteArray{"\x01\x00", 2}, Act(kReserve, 2)) + Record(QByteArray(1, 61), kTime) +
            Record(QByteArray{"\x01\x01", 2}, Act(kReserve, 3)) +
            Record(QByteArray(1, 1), Act(kTableIn, 2)) +
            Record(QByteArray(1, 0), Act(kTableIn, 3)) +
            Record(QByteArray{"\x01\x02", 2}, Act(kReserve, 4)) +
            Record(Msg({207}), Act(kToHall, 3)),
        // The computer at table 1.
        Record(QByteArray(1, 0), Act(kHallIn, 5)) +
            Record(QByteArray{"\x01\x00", 2}, Act(kReserve, 5)) +
            Record(QByteArray(1, 0), Act(kTableIn, 5)) + Record(QByteArray(), kComputer),
    };
}

}  // namespace xq::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xq::fuzz;
    RoomPeople people;
    Records records(data, size, true);
    Records::Item item;
    int steps = 0;
    while (records.next(item) && ++steps < 400) {
        const int action = item.lead & 15;
        const int who = ((item.lead >> 4) & 7) % kPeople;
        const xq::Cmd& bytes = item.bytes;
        const int arg = bytes.isEmpty() ? 0 : static_cast<std::uint8_t>(bytes[0]);
        switch (action) {
            case kHallIn:
                people.hallIn(who, arg);
                break;
            case kTableIn:
                people.tableIn(who, arg);
                break;
            case kToHall:
                people.toHall(who, bytes);
                break;
            case kDropHall:
                people.dropHall(who);
                break;
            case kDropTable:
                people.dropTable(who);
                break;
            case kTime:
                // Up to past a reservation's minute and a dropped player's grace.
                people.advance(1000 * (arg % 130));
                break;
            case kStore:
                people.store.failing = !people.store.failing;
                break;
            case kKeep:
                people.checkKeptGames();
                break;
            case kAnswer:
                people.storeAnswers();
                break;
            case kComputer:
                people.computerIn();
                break;
            case kReserve: {
                const int table = arg % (kTables + 1);  // 0: a table that is not there
                const int place = bytes.size() > 1 ? static_cast<std::uint8_t>(bytes[1]) % 3 : 0;
                people.toHall(who, place == 2 ? xq::hall::reserveWatch(table)
                                              : xq::hall::reserveSeat(table, place));
                break;
            }
            default:
                // The rest go to a table, so that most records are table messages.
                CheckRequestRoundTrip(bytes);
                people.toTable(who, bytes);
                break;
        }
    }
    people.checkKeptGames();
    return 0;
}

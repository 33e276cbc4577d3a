#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "net/table_refusal.h"
#include "rules/history.h"

// What the room server tells a table client (the table window or the bot): one struct per kind of
// message, encode() for the server, parseEvent() for the clients.
//
// Texts are code page 936. A text that is not whole code page 936 reads as empty: the clients
// have always taken it so, and some of them act on an empty text (a departure with no name still
// closes the open boxes). Seats and other single bytes are kept as they came, unless every reader
// refuses a value: then the parse refuses it.
namespace xq::tablemsg {

using Triple = std::array<std::uint8_t, 3>;  // hours, minutes, seconds

// --- The room side.

// 130/0: a spectator came in, with his user row.
struct SpectatorArrival {
    QString row;
    bool operator==(const SpectatorArrival&) const = default;
};
// 130/1: the table starts afresh.
struct TableReset {
    bool operator==(const TableReset&) const = default;
};
// 130/2: everybody at the table, one user row each.
struct UserList {
    QStringList rows;
    bool operator==(const UserList&) const = default;
};
// 130/3: who the client is, and whom he watches (himself for a player).
struct Identity {
    QString name;
    QString watched;
    bool operator==(const Identity&) const = default;
};
// 130/4: a player or spectator came in, with his user row.
struct Arrival {
    QString row;
    bool operator==(const Arrival&) const = default;
};
// 130/5: hide or show the table window.
struct WindowHidden {
    bool hidden = false;
    bool operator==(const WindowHidden&) const = default;
};
// 108/0, 108/3, 108/4: a player back on line, a player off line, a spectator gone.
struct BackOnline {
    QString name;
    bool operator==(const BackOnline&) const = default;
};
struct WentOffline {
    QString name;
    bool operator==(const WentOffline&) const = default;
};
struct SpectatorLeft {
    QString name;
    bool operator==(const SpectatorLeft&) const = default;
};
// 108/6: a user row with new figures.
struct RowChanged {
    QString row;
    bool operator==(const RowChanged&) const = default;
};
// 110/0: someone left the table.
struct LeftTable {
    QString name;
    bool operator==(const LeftTable&) const = default;
};
// 111: the table's stage. Five fields or fewer: waiting for players; more: the settings stage,
// where field 3 says whether the receiver owns the table, field 5 that the stage is open, field 6
// that the owner has set the terms, and the terms follow from field 7.
struct TableSettings {
    QStringList fields;
    bool operator==(const TableSettings&) const = default;
};
TableSettings waitingForPlayers();
TableSettings settingsStage(int seat, bool ownerConfirmed, const QString& terms);

// 112/n: a raised hand; `raised` is the number of hands up (2: both, the game begins), or 0 for
// the owner's terms. The owner's hand may carry the terms.
struct HandsUp {
    std::uint8_t raised = 0;
    QString name;
    std::optional<QString> terms;
    bool operator==(const HandsUp&) const = default;
};
// 105: a line of the room's own chat.
struct RoomChat {
    QString text;
    bool operator==(const RoomChat&) const = default;
};

// 109: the state of the table for a client that joins. A snapshot cut short holds only its
// first fields, in the order they are declared (a triple's bytes one by one, a tally as one):
// `arrived` says how many came, and a reader takes only those.
struct WaitingSnapshot {
    static constexpr int kFields = 12;
    std::array<bool, 2> handsUp{};
    std::array<int, 2> tally{};  // games won by each seat, at most 255 * 255 + 254
    Triple bankLimit{};          // zeros before any terms were agreed
    Triple stepTime{};
    std::uint8_t redSeat = 0;  // red in the next game
    std::uint8_t gameState = 50;
    int arrived = kFields;
    bool operator==(const WaitingSnapshot&) const = default;
};
struct RunningSnapshot {
    static constexpr int kFields = 16;
    std::uint8_t redSeat = 0;
    std::uint8_t gameState = 0;  // the seat to move, or 10 + the seat that uploads a record
    Triple bankLimit{};
    Triple stepTime{};
    std::array<int, 2> tally{};
    std::array<Triple, 2> banksUsed{};
    std::vector<QiPuItem> moves;  // from the first
    int arrived = kFields;
    // The bytes of a last move cut short, the missing ones zero.
    std::optional<QiPuItem> cutMove;
    bool operator==(const RunningSnapshot&) const = default;
};

// --- The game side.

// 1: a chat line as the server relays it, in its ten fields (sender, addressee, sender and
// addressee as typed, time, text, colour, face, private flag, empty).
struct ChatRelay {
    QStringList fields;
    bool operator==(const ChatRelay&) const = default;
};
// 5: a player cannot go on.
struct CannotContinue {
    std::uint8_t seat = 0;
    QString reason;
    bool operator==(const CannotContinue&) const = default;
};
// 17: a game begins.
struct GameStart {
    std::uint8_t redSeat = 0;
    std::uint8_t firstToMove = 0;
    Triple bankLimit{};
    Triple stepTime{};
    bool operator==(const GameStart&) const = default;
};
// 18: a player is ready for the next game.
struct Ready {
    std::uint8_t seat = 0;
    bool operator==(const Ready&) const = default;
};
// 19: a move the server accepted, with the mover's bank used so far. Both points are on the
// board.
struct MoveEcho {
    std::uint8_t seat = 0;
    std::uint8_t from = 0;  // packed points, as records keep them
    std::uint8_t piece = 0;
    std::uint8_t to = 0;
    std::uint8_t eaten = 0;
    Triple bankUsed{};
    bool operator==(const MoveEcho&) const = default;
};
// 20, 21, 23: a request to undo, to draw or to load a record, or its answer, or (23/4) a load
// that failed. `trailing`: bytes followed the seat, which the window does not take.
struct Negotiation {
    std::uint8_t code = 0;
    std::uint8_t step = 0;  // ask, refuse, agree, or load failed
    std::uint8_t seat = 0;
    bool trailing = false;
    bool operator==(const Negotiation&) const = default;
};
// 23/3: the moves of the record both players agreed to load. Bytes that do not make a whole
// move are not taken.
struct RecordMoves {
    std::vector<QiPuItem> moves;
    bool operator==(const RecordMoves&) const = default;
};
// 24: a notice for the user.
struct Notice {
    QString text;
    bool operator==(const Notice&) const = default;
};
// 25: the game is over; `result` is the losing seat, or 2 for a draw.
struct GameEnd {
    std::int32_t score0 = 0;
    std::int32_t score1 = 0;
    std::uint8_t result = 0;
    QString reason;
    bool operator==(const GameEnd&) const = default;
};

using Event =
    std::variant<SpectatorArrival, TableReset, UserList, Identity, Arrival, WindowHidden,
                 BackOnline, WentOffline, SpectatorLeft, RowChanged, LeftTable, TableSettings,
                 HandsUp, RoomChat, WaitingSnapshot, RunningSnapshot, ChatRelay, CannotContinue,
                 GameStart, Ready, MoveEcho, Negotiation, RecordMoves, Notice, GameEnd>;

// Either the event, or why the frame is none.
using ParsedEvent = std::variant<Event, Refusal>;

ParsedEvent parseEvent(const QByteArray& frame);

// The code byte the event or refusal came with.
std::uint8_t codeOf(const Event& event);
std::uint8_t codeOf(const ParsedEvent& parsed);

// The event, or nothing for a refusal or another kind.
template <typename T>
const T* eventAs(const ParsedEvent& parsed) {
    const Event* e = std::get_if<Event>(&parsed);
    return e ? std::get_if<T>(e) : nullptr;
}

QByteArray encode(const SpectatorArrival& m);
QByteArray encode(const TableReset& m);
QByteArray encode(const UserList& m);
QByteArray encode(const Identity& m);
QByteArray encode(const Arrival& m);
QByteArray encode(const WindowHidden& m);
QByteArray encode(const BackOnline& m);
QByteArray encode(const WentOffline& m);
QByteArray encode(const SpectatorLeft& m);
QByteArray encode(const RowChanged& m);
QByteArray encode(const LeftTable& m);
QByteArray encode(const TableSettings& m);
QByteArray encode(const HandsUp& m);
QByteArray encode(const RoomChat& m);
QByteArray encode(const WaitingSnapshot& m);
QByteArray encode(const RunningSnapshot& m);
QByteArray encode(const ChatRelay& m);
QByteArray encode(const CannotContinue& m);
QByteArray encode(const GameStart& m);
QByteArray encode(const Ready& m);
QByteArray encode(const MoveEcho& m);
QByteArray encode(const Negotiation& m);
QByteArray encode(const RecordMoves& m);
QByteArray encode(const Notice& m);
QByteArray encode(const GameEnd& m);
QByteArray encode(const Event& event);

// The server keeps the rows of its spectators already in code page 936, so that a crowd costs
// no conversion per arrival: these take such rows as they are. `moreRows` are joined by LF and
// go after the list's own rows.
QByteArray encodeUserList(const QStringList& rows, const QByteArray& moreRows);
QByteArray encodeSpectatorArrival(const QByteArray& row);

// A tally in two bytes the way clients read it back: high * 255 + low.
std::array<std::uint8_t, 2> tallyBytes(int wins);

// The moves of a history without its placeholder.
std::vector<QiPuItem> movesOf(const QiPuHistory& history);

}  // namespace xq::tablemsg

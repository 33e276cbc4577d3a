#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <variant>

namespace xq::hall {

// The hall speaks on the table port; its hello has its own prefix, so the first frame says which
// of the two a connection speaks.
inline constexpr char kHelloPrefix[] = "XQHALL/1`";
// An account's hellos: logging in, and registering a new account and logging in.
inline constexpr char kAccountHelloPrefix[] = "XQHALL/2`";
inline constexpr char kRegisterHelloPrefix[] = "XQHALL/2+`";

namespace code {
inline constexpr std::uint8_t kOwnRow = 200;
inline constexpr std::uint8_t kPlayers = 201;
inline constexpr std::uint8_t kTables = 202;
inline constexpr std::uint8_t kChat = 203;
inline constexpr std::uint8_t kReservation = 204;
inline constexpr std::uint8_t kReserve = 205;
inline constexpr std::uint8_t kSay = 206;
inline constexpr std::uint8_t kLeave = 207;
inline constexpr std::uint8_t kChangePassword = 208;
inline constexpr std::uint8_t kPasswordResult = 209;
inline constexpr std::uint8_t kKeepAlive = 210;
// What changed in the hall during one turn of the server, told once to everybody: the rows of
// players who came or changed, the names that left, the rows of tables that changed.
inline constexpr std::uint8_t kPlayerRows = 211;
inline constexpr std::uint8_t kPlayersGone = 212;
inline constexpr std::uint8_t kTableRows = 213;
inline constexpr std::uint8_t kNotice = 24;
// A game of the user's waits for him at a table (kept over a restart, or his window gone).
inline constexpr std::uint8_t kGameWaiting = 230;
}  // namespace code

// Where a user is, or is about to be, at a table.
enum class Place { Seat0 = 0, Seat1 = 1, Watch = 2 };

// One user in the hall, with what the room has stored of him.
struct PlayerRow {
    QString name;
    int userNumber = 0;
    int score = 0;
    int games = 0;
    int won = 0;
    int lost = 0;
    int drawn = 0;
    int escapes = 0;
    int face = 0;
    int table = 0;  // 0: at no table
    Place place = Place::Seat0;
    bool operator==(const PlayerRow&) const = default;
};

// One table as the hall shows it. An empty seat has an empty name.
struct TableRow {
    int number = 0;
    std::array<QString, 2> names;
    std::array<int, 2> scores{};
    int spectators = 0;
    bool playing = false;
    bool operator==(const TableRow&) const = default;
};

QString playerRowText(const PlayerRow& row);
std::optional<PlayerRow> parsePlayerRow(const QString& text);
QString tableRowText(const TableRow& row);
std::optional<TableRow> parseTableRow(const QString& text);

// --- What the server sends (messages, before framing).

QByteArray ownRow(const PlayerRow& row);
QByteArray playerList(const QList<PlayerRow>& rows);
QByteArray playerChanged(const PlayerRow& row);
QByteArray playerLeft(const QString& name);
QByteArray tableList(const QList<TableRow>& rows);
QByteArray tableChanged(const TableRow& row);
// Many rows or names in as few messages as fit kMaxBatchBytes each (none for an empty list).
// The whole list is [201, 0] with the first rows and [211] with the rest, so that a hall of any
// size fits in frames.
inline constexpr qsizetype kMaxBatchBytes = 256 * 1024;
QList<QByteArray> wholePlayerList(const QList<PlayerRow>& rows);
// The same of rows already encoded (encodedPlayerRow), as a server keeps them for a crowd.
QByteArray encodedPlayerRow(const PlayerRow& row);
QList<QByteArray> wholePlayerListOf(const QList<QByteArray>& encodedRows);
QList<QByteArray> playerRows(const QList<PlayerRow>& rows);
QList<QByteArray> playersGone(const QStringList& names);
QList<QByteArray> tableRows(const QList<TableRow>& rows);
QByteArray chatLine(const QString& speaker, const QString& text);
// The ticket is the table client's one-time key to the place granted.
QByteArray granted(int table, Place place, const QString& ticket);
QByteArray refused(int table, Place place, const QString& reason);
QByteArray notice(const QString& text);
QByteArray passwordChanged();
QByteArray passwordRefused(const QString& reason);
QByteArray gameWaiting(int table, Place place);

// --- What the hall client sends.

// The first frame: the name, and the ticket ("-" for none).
QByteArray hello(const QString& name, const QString& ticket);
// The first frame of an account: its name and password; `registering` makes the account first.
QByteArray accountHello(const QString& name, const QString& password, bool registering);
QByteArray changePassword(const QString& oldPassword, const QString& newPassword);
QByteArray reserveSeat(int table, int seat);
QByteArray reserveWatch(int table);
QByteArray say(const QString& text);
QByteArray leave();
// Nothing but "still here": a hall connection the server hears nothing from is closed.
QByteArray keepAlive();

// --- Reading them. Nothing for a message that is malformed in any way.

namespace in {
struct OwnRow {
    PlayerRow row;
};
struct Players {
    QList<PlayerRow> rows;
};
struct PlayerChanged {
    PlayerRow row;
};
struct PlayerLeft {
    QString name;
};
struct Tables {
    QList<TableRow> rows;
};
struct TableChanged {
    TableRow row;
};
struct Chat {
    QString speaker;
    QString text;
};
struct Reservation {
    bool granted = false;
    int table = 0;
    Place place = Place::Seat0;
    QString reason;  // when refused
    QString ticket;  // when granted: empty from a server that issues none
};
struct Notice {
    QString text;
};
struct PasswordResult {
    bool changed = false;
    QString reason;  // when refused
};
struct GameWaiting {
    int table = 0;
    Place place = Place::Seat0;
};
// A turn's batches.
struct PlayerRows {
    QList<PlayerRow> rows;
};
struct PlayersGone {
    QStringList names;
};
struct TableRows {
    QList<TableRow> rows;
};
using ServerMessage = std::variant<OwnRow, Players, PlayerChanged, PlayerLeft, Tables, TableChanged,
                                   Chat, Reservation, Notice, PasswordResult, GameWaiting,
                                   PlayerRows, PlayersGone, TableRows>;

struct Reserve {
    int table = 0;
    Place place = Place::Seat0;
};
struct Say {
    QString text;
};
struct Leave {};
struct KeepAlive {};
struct ChangePassword {
    QString oldPassword;
    QString newPassword;
};
using ClientMessage = std::variant<Reserve, Say, Leave, ChangePassword, KeepAlive>;
}  // namespace in

std::optional<in::ServerMessage> parseServerMessage(const QByteArray& message);
std::optional<in::ClientMessage> parseClientMessage(const QByteArray& message);

// Why a password cannot travel: empty, too long, a "`" (the field separator), a control
// character, or a character code page 936 cannot write. Nothing when it can.
std::optional<QString> passwordWireProblem(const QString& password);

}  // namespace xq::hall

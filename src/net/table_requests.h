#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "net/table_refusal.h"
#include "net/wire_limits.h"
#include "rules/history.h"

namespace xq::tablemsg {

// What a table client (the table window or the bot) sends after the hello, and the server reads.
// Every message is built from its struct by encode() and read back by parseRequest(), so that no
// handler on either end touches bytes.

// [130, 0] "500`DRAK`" and "1" when spectators may watch the player's games, else "0".
struct Login {
    bool allowWatch = true;
    bool operator==(const Login&) const = default;
};
// [130, 1]: the client has set up the game the server started.
struct TableBegun {
    bool operator==(const TableBegun&) const = default;
};
// [112, 1] name: the hand raised, or the terms agreed to.
struct HandUp {
    QString name;
    bool operator==(const HandUp&) const = default;
};
// [112, 0] name "`" the owner's eleven settings joined by "`".
struct OwnerSettings {
    QString name;
    QString settings;
    bool operator==(const OwnerSettings&) const = default;
};
// [110, 0] name: leaving the table for good.
struct Leave {
    QString name;
    bool operator==(const Leave&) const = default;
};
// [1] then the ten fields of a chat line joined by "`": 0 sender, 1 addressee, 2 sender as
// shown, 3 addressee as shown, 4 time "hh:mm:ss", 5 text, 6 colour, 7 face, 8 private flag,
// 9 spare.
struct Chat {
    QStringList fields;
    bool operator==(const Chat&) const = default;
};
// [18, seat]: ready for the next game.
struct RaiseHand {
    std::uint8_t seat = 0;
    bool operator==(const RaiseHand&) const = default;
};
// [19, 0, seat, from, piece, to, eaten, bank used h, m, s]. Points are packed rank and file; the
// server checks them on its own board, so they are read as they come.
struct Move {
    std::uint8_t seat = 0;
    std::uint8_t from = 0;
    std::uint8_t piece = 0;
    std::uint8_t to = 0;
    std::uint8_t eaten = 0;
    std::array<std::uint8_t, 3> bankUsed{};
    bool operator==(const Move&) const = default;
};

// What a request or its answer is about; the value is the message's code.
enum class Topic : std::uint8_t { Undo = 20, Draw = 21, Load = 23 };

// [code, 0, seat]: asking the other player.
struct Ask {
    Topic topic = Topic::Undo;
    std::uint8_t seat = 0;
    bool operator==(const Ask&) const = default;
};
// [code, 2 agree / 1 refuse, seat]: the answer to the other player's request.
struct Answer {
    Topic topic = Topic::Undo;
    bool agree = false;
    std::uint8_t seat = 0;
    bool operator==(const Answer&) const = default;
};
// [22, 0 resign / 1 out of time, seat].
struct Resign {
    std::uint8_t seat = 0;
    bool timeOut = false;
    bool operator==(const Resign&) const = default;
};
// [23, 3, seat, total (32 bits), moves before this chunk (32 bits), 1 to 50 moves of 4 bytes:
// from, piece, to, eaten]. The server judges the totals and the order of the chunks.
struct RecordChunk {
    std::uint8_t seat = 0;
    std::int32_t total = 0;
    std::int32_t before = 0;
    std::vector<QiPuItem> moves;
    bool operator==(const RecordChunk&) const = default;
};
// A chunk header with a total of 0: the player gave up the load that was agreed. Sent as twelve
// bytes, read from any chunk whose header is whole.
struct LoadAbandoned {
    std::uint8_t seat = 0;
    bool operator==(const LoadAbandoned&) const = default;
};

using Request = std::variant<Login, TableBegun, HandUp, OwnerSettings, Leave, Chat, RaiseHand, Move,
                             Ask, Answer, Resign, RecordChunk, LoadAbandoned>;

// Either the request the frame carries, or why it carries none.
using ParsedRequest = std::variant<Request, Refusal>;

ParsedRequest parseRequest(const QByteArray& frame);

// The message as sent, byte for byte. A message that carries a name or a text gives an empty
// array (nothing to send) when that text is empty.
QByteArray encode(const Login& m);
QByteArray encode(const TableBegun& m);
QByteArray encode(const HandUp& m);
QByteArray encode(const OwnerSettings& m);
QByteArray encode(const Leave& m);
QByteArray encode(const Chat& m);
QByteArray encode(const RaiseHand& m);
QByteArray encode(const Move& m);
QByteArray encode(const Ask& m);
QByteArray encode(const Answer& m);
QByteArray encode(const Resign& m);
QByteArray encode(const RecordChunk& m);
QByteArray encode(const LoadAbandoned& m);
QByteArray encode(const Request& m);

// A stored record cut into the chunks that carry it, each with the whole count and the number of
// moves before it. Nothing for a record without moves.
std::vector<RecordChunk> recordChunks(std::uint8_t seat, const QiPuHistory& history);

// The code and sub-code of any frame as a log names them; -1 where the frame has none.
struct FrameHead {
    int code = -1;
    int sub = -1;
};
FrameHead frameHead(const QByteArray& frame);

}  // namespace xq::tablemsg

#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

#include "net/codec.h"
#include "rules/history.h"

namespace xq::msg {

// Messages the client sends. A builder that needs a text gives an empty array (nothing to send)
// when the text is empty.

Cmd Login(std::uint8_t allowLookOnSee);
Cmd TableBegun();                                                   // 130, 1
Cmd HandUp(const QString& myName);                                  // 112, 1
Cmd OwnerSettings(const QString& myName, const QString& settings);  // 112, 0
Cmd LeaveTable(const QString& myName);                              // 110, 0
Cmd Chat(const QStringList& tenFields);                             // 1, then the fields

Cmd RaiseHand(std::uint8_t mySeat);  // 18, seat
Cmd Move(std::uint8_t mySeat, std::uint8_t from, std::uint8_t piece, std::uint8_t to,
         std::uint8_t eaten, const std::array<std::uint8_t, 3>& totalUsed);
Cmd Request(std::uint8_t code, std::uint8_t subCode, std::uint8_t mySeat);  // [code, sub, seat]
Cmd Answer(std::uint8_t code, bool agree, std::uint8_t mySeat);
Cmd DrawOffer(std::uint8_t mySeat);
Cmd Resign(std::uint8_t mySeat);
Cmd TimeOut(std::uint8_t mySeat);
Cmd UndoRequest(std::uint8_t mySeat);
Cmd LoadRequest(std::uint8_t mySeat);

// A stored record in chunks of at most 50 moves: [23, 3, seat, total, first - 1, moves...].
inline constexpr int kChunkMoves = 50;
inline constexpr int kChunkHeader = 11;
std::vector<Cmd> RecordChunks(std::uint8_t mySeat, const QiPuHistory& history);

// The 12 bytes that tell the server the agreed load was given up.
Cmd LoadAbandoned(std::uint8_t mySeat);

}  // namespace xq::msg

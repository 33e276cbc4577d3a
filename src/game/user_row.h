#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace xq {

// A person at the table as the server describes them: 16 fields separated by "`".
inline constexpr int kUserRowFields = 16;

namespace row {
inline constexpr int kName = 0;
inline constexpr int kUserId = 1;
inline constexpr int kScore = 2;
inline constexpr int kLevel = 3;
inline constexpr int kWatching = 4;  // the watched player's name, blank for a seated player
inline constexpr int kGames = 5;
inline constexpr int kWinRate = 6;
inline constexpr int kEscapeRate = 7;
inline constexpr int kWon = 8;
inline constexpr int kLost = 9;
inline constexpr int kDrawn = 10;
inline constexpr int kCharacter = 11;
inline constexpr int kFaceNo = 12;
inline constexpr int kChair = 13;
inline constexpr int kHandUp = 14;
inline constexpr int kOffline = 15;
}  // namespace row

inline QStringList splitFields(const QString& text) {
    return text.split(u'`');
}

// Removes blanks (spaces) from both ends.
QString trimBlanks(const QString& text);

// A row names a spectator exactly when its watched-player field is not blank.
bool isSpectatorRow(const QStringList& fields);

// The seat a player's row names: the chair number modulo 2; nothing for a negative chair.
std::optional<std::uint8_t> seatOfRow(const QStringList& fields);

// A flag field: a number greater than 0 means yes. A missing field is no.
bool flagField(const QStringList& fields, int index);

}  // namespace xq

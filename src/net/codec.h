#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace xq {

// A message is a byte array whose byte 0 is the code; text runs in code page 936 from a fixed
// offset to the end, fields separated by "`"; 32-bit numbers are big-endian two's complement.
using Cmd = QByteArray;

// Builds header bytes followed by the text. False, and cmd untouched, for an empty text.
bool StringToCmd(const QString& text, Cmd& cmd, std::uint8_t headLen, const QByteArray& head);

// The text from byte start to the end; empty when start lies beyond the end or the last
// character is broken.
QString CmdToString(const Cmd& cmd, int start);

// Writes a 32-bit field at pos; false, and nothing written, when the array is too short.
bool PutLongToCmd(std::int32_t value, Cmd& cmd, long pos);

// Reads a 32-bit field at pos; false, and value untouched, when the array is too short.
bool GetLongFromCmd(std::int32_t& value, const Cmd& cmd, long pos);

// Byte 0 of 95 and above, except 113 and 133, goes to the room side; the rest to the game side.
constexpr bool isRoomCode(std::uint8_t code) {
    return code >= 95 && code != 113 && code != 133;
}

// Byte i of a message as an unsigned value (the caller checks the bounds).
inline std::uint8_t byteAt(const Cmd& cmd, qsizetype i) {
    return static_cast<std::uint8_t>(cmd[i]);
}

// The upper bound of a message as the handlers compare it: its size minus one.
inline qsizetype upperBound(const Cmd& cmd) {
    return cmd.size() - 1;
}

}  // namespace xq

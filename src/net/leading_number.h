#pragma once

#include <QStringView>
#include <cstdint>

namespace xq {

// How numbers are read from text everywhere in the table: the leading decimal number of the text
// (leading blanks skipped, optional sign, optional fraction); 0 when the text does not start with
// one. "12abc" reads 12, "abc" reads 0, " -3.5x" reads -3.5.
double leadingNumber(QStringView text);

// The leading number rounded to a whole 32-bit value: halves go to the even neighbour, values
// beyond the 32-bit range are clamped to it.
std::int32_t leadingLong(QStringView text);

// The leading number rounded and clamped to a byte, 0..255.
std::uint8_t leadingByte(QStringView text);

// Rounds halves to the even neighbour and clamps to the 32-bit range.
std::int32_t roundToLong(double value);

}  // namespace xq

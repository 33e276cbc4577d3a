#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace xq {

// Text in the Simplified Chinese double-byte code page (936, GBK). Every UTF-16 unit without a
// form in the code page becomes "?".
QByteArray encodeCp936(QStringView text);

// Reads code page 936 bytes: 0x80 alone is "€" (as Windows has it, and as encodeCp936 writes it);
// any other byte above 127 is a lead byte taken together with the byte after it, and a pair that
// names no character reads as "?". A lead byte in the last position makes the whole text
// unreadable: the result is then nothing.
bool decodeCp936(QByteArrayView bytes, QString& text);

// How many bytes the character at `at` takes as decodeCp936 reads them: 1 for a byte that
// stands alone, 2 for a lead byte and the byte after it, 0 at the end or for a lead byte with
// nothing after it.
qsizetype cp936CharLength(QByteArrayView bytes, qsizetype at);

// True when every character of the text has a form in the code page that reads back as itself,
// so that the text survives a trip through the old protocol unchanged.
bool canEncodeCp936(QStringView text);

}  // namespace xq

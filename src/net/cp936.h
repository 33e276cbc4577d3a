#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace xq {

// Text in the Simplified Chinese double-byte code page (936, GBK). Every UTF-16 unit without a
// form in the code page becomes "?".
QByteArray EncodeCp936(QStringView text);

// Reads code page 936 bytes: a byte above 127 (128 included) is a lead byte taken together with
// the byte after it; a pair that names no character reads as "?". A lead byte in the last position
// makes the whole text unreadable: the result is then nothing.
bool DecodeCp936(QByteArrayView bytes, QString& text);

}  // namespace xq

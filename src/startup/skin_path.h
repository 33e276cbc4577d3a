#pragma once

#include <QString>

namespace xq {

// Turns a path literal written with "\" separators, such as "Res\CaptionBack.bmp", into a
// native path below base, matching every component without regard to letter case. When a
// component is not found the literal's spelling is kept, so the result then names no file.
QString skinPath(const QString& base, const QString& literal);

// The same, and whether the file exists.
bool skinFileExists(const QString& base, const QString& literal, QString* path = nullptr);

}  // namespace xq

#pragma once

#include <QImage>
#include <QString>

namespace xq {

// Reads one skin picture. A file that is short or broken gives a null image rather than a
// picture padded with noise or grey: a reader error, a BMP or JPEG cut off before its data ends,
// or a JPEG whose decoder complains about its data while decoding.
QImage readSkinPicture(const QString& path);

}  // namespace xq

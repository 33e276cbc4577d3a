#pragma once

#include <QByteArrayView>

namespace xq {

// Checks on the bytes of a picture file that Qt's readers do not make: both decode a file cut
// short without complaint, the BMP reader padding the missing rows with whatever it finds and the
// JPEG reader the missing blocks with grey.

// True unless the data is a BMP whose headers promise more pixel data than it holds (or whose
// headers are themselves cut off). Data that is not a BMP passes.
bool bmpDataComplete(QByteArrayView data);

// True unless the data is a JPEG that ends before its end-of-image marker. Data that is not a
// JPEG passes.
bool jpegDataComplete(QByteArrayView data);

}  // namespace xq

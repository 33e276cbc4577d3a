#include "look/picture_data.h"

#include <cstdint>

namespace xq {
namespace {

std::uint32_t Byte(QByteArrayView d, qsizetype i) {
    return static_cast<std::uint8_t>(d[i]);
}

std::uint32_t le16(QByteArrayView d, qsizetype i) {
    return Byte(d, i) | Byte(d, i + 1) << 8;
}

std::uint32_t le32(QByteArrayView d, qsizetype i) {
    return le16(d, i) | le16(d, i + 2) << 16;
}

std::uint32_t be16(QByteArrayView d, qsizetype i) {
    return Byte(d, i) << 8 | Byte(d, i + 1);
}

constexpr qsizetype kFileHeader = 14;

}  // namespace

bool bmpDataComplete(QByteArrayView d) {
    if (d.size() < 2 || d[0] != 'B' || d[1] != 'M') return true;
    if (d.size() < kFileHeader + 4) return false;
    const qint64 pixelsAt = le32(d, 10);
    const qint64 infoSize = le32(d, kFileHeader);
    if (infoSize < 12 || kFileHeader + infoSize > d.size() || pixelsAt > d.size()) return false;
    qint64 width = 0, height = 0, bits = 0, compression = 0, imageSize = 0;
    if (infoSize == 12) {  // the old core header: 16-bit sizes, never compressed
        width = le16(d, 18);
        height = le16(d, 20);
        bits = le16(d, 24);
    } else if (infoSize >= 40) {
        width = static_cast<std::int32_t>(le32(d, 18));
        height = static_cast<std::int32_t>(le32(d, 22));
        bits = le16(d, 28);
        compression = le32(d, 30);
        imageSize = le32(d, 34);
    } else {
        return false;
    }
    if (width <= 0 || height == 0) return false;
    const qint64 rows = height < 0 ? -height : height;
    const qint64 available = d.size() - pixelsAt;
    switch (compression) {
        case 0:  // plain rows
        case 3:  // plain rows with bit-field masks
        case 6: {
            if (bits <= 0 || bits > 32) return false;
            const qint64 stride = (width * bits + 31) / 32 * 4;
            return stride <= available / rows;
        }
        default:  // run-length or embedded data: its size is stated
            return imageSize <= available;
    }
}

bool jpegDataComplete(QByteArrayView d) {
    if (d.size() < 2 || Byte(d, 0) != 0xFF || Byte(d, 1) != 0xD8) return true;
    qsizetype i = 2;
    const qsizetype n = d.size();
    while (i < n) {
        if (Byte(d, i) != 0xFF) return false;
        while (i < n && Byte(d, i) == 0xFF)
            ++i;  // fill bytes before a marker
        if (i >= n) return false;
        const std::uint32_t marker = Byte(d, i++);
        if (marker == 0xD9) return true;                                     // end of image
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
        if (i + 2 > n) return false;
        const qsizetype length = be16(d, i);
        if (length < 2) return false;
        i += length;
        if (i > n) return false;
        if (marker != 0xDA) continue;
        // Coded data after a start of scan runs to the next marker; a 0xFF inside it is followed
        // by a stuffed zero or a restart marker.
        for (;; ++i) {
            if (i + 1 >= n) return false;
            if (Byte(d, i) != 0xFF) continue;
            const std::uint32_t next = Byte(d, i + 1);
            if (next != 0x00 && (next < 0xD0 || next > 0xD7)) break;
        }
    }
    return false;
}

}  // namespace xq

#include "net/leading_number.h"

#include <cmath>
#include <limits>

namespace xq {

double leadingNumber(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    double value = 0;
    bool any = false;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        value = value * 10 + (text[i].unicode() - u'0');
        any = true;
        ++i;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        double scale = 0.1;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            value += (text[i].unicode() - u'0') * scale;
            scale /= 10;
            any = true;
            ++i;
        }
    }
    if (!any) return 0;
    return negative ? -value : value;
}

std::int32_t roundToLong(double value) {
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value)) return 0;
    const double rounded = std::nearbyint(value);  // the default mode rounds halves to even
    if (rounded <= kMin) return std::numeric_limits<std::int32_t>::min();
    if (rounded >= kMax) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(rounded);
}

std::int32_t leadingLong(QStringView text) {
    return roundToLong(leadingNumber(text));
}

std::uint8_t leadingByte(QStringView text) {
    const std::int32_t v = leadingLong(text);
    return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

}  // namespace xq

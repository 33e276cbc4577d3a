#include "game/user_row.h"

#include "net/leading_number.h"

namespace xq {

QString trimBlanks(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

bool isSpectatorRow(const QStringList& fields) {
    return !trimBlanks(fields.value(row::kWatching)).isEmpty();
}

std::optional<std::uint8_t> seatOfRow(const QStringList& fields) {
    const std::int32_t seat = leadingLong(fields.value(row::kChair)) % 2;
    if (seat < 0) return std::nullopt;
    return static_cast<std::uint8_t>(seat);
}

bool flagField(const QStringList& fields, int index) {
    return leadingNumber(fields.value(index)) > 0;
}

}  // namespace xq

#include "game/user_row.h"

#include "net/leading_number.h"

namespace xq {

QString TrimBlanks(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

bool IsSpectatorRow(const QStringList& fields) {
    return !TrimBlanks(fields.value(row::kWatching)).isEmpty();
}

std::optional<std::uint8_t> SeatOfRow(const QStringList& fields) {
    const std::int32_t seat = LeadingLong(fields.value(row::kChair)) % 2;
    if (seat < 0) return std::nullopt;
    return static_cast<std::uint8_t>(seat);
}

bool FlagField(const QStringList& fields, int index) {
    return LeadingNumber(fields.value(index)) > 0;
}

}  // namespace xq

#include "server/table_terms.h"

#include <QStringList>

namespace xq::server {
namespace {

struct Range {
    int low;
    int high;
    const char16_t* what;
};

// The server's limits; the stake and penalty ranges are the ones the record itself carries.
constexpr std::array<int, TableTerms::kFieldCount> kDefaults = {100, 1000, 10, 5, 50, 0,
                                                                0,   30,   0,  0, 30};

Range rangeOf(int field) {
    switch (field) {
        case TableTerms::kStake:
            return {kDefaults[TableTerms::kStakeMin], kDefaults[TableTerms::kStakeMax],
                    u"本桌大小"};
        case TableTerms::kPenalty:
            return {kDefaults[TableTerms::kPenaltyMin], kDefaults[TableTerms::kPenaltyMax],
                    u"逃跑者扣分"};
        case TableTerms::kBankHours:
            return {0, 30, u"总用时的时"};
        case TableTerms::kBankMinutes:
            return {0, 60, u"总用时的分"};
        case TableTerms::kBankSeconds:
            return {0, 60, u"总用时的秒"};
        case TableTerms::kStepMinutes:
            return {0, 60, u"每步限时的分"};
        default:
            return {0, 60, u"每步限时的秒"};
    }
}

bool isLimitField(int field) {
    return field == TableTerms::kStakeMax || field == TableTerms::kStakeMin ||
           field == TableTerms::kPenaltyMax || field == TableTerms::kPenaltyMin;
}

// Digits only, at most nine of them so the value fits; empty reads 0.
bool readDigits(QStringView text, int& value) {
    if (text.size() > 9) return false;
    value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9') return false;
        value = value * 10 + (c.unicode() - u'0');
    }
    return true;
}

}  // namespace

TableTerms TableTerms::defaults() {
    TableTerms t;
    t.fields_ = kDefaults;
    return t;
}

int TableTerms::bankLimitSeconds() const {
    return value(kBankHours) * 3600 + value(kBankMinutes) * 60 + value(kBankSeconds);
}

int TableTerms::stepAllowanceSeconds() const {
    return value(kStepMinutes) * 60 + value(kStepSeconds);
}

std::array<std::uint8_t, 3> TableTerms::bankTriple() const {
    return {static_cast<std::uint8_t>(value(kBankHours)),
            static_cast<std::uint8_t>(value(kBankMinutes)),
            static_cast<std::uint8_t>(value(kBankSeconds))};
}

std::array<std::uint8_t, 3> TableTerms::stepTriple() const {
    return {0, static_cast<std::uint8_t>(value(kStepMinutes)),
            static_cast<std::uint8_t>(value(kStepSeconds))};
}

QString TableTerms::text() const {
    QStringList parts;
    for (int v : fields_)
        parts << QString::number(v);
    return parts.join(u'`');
}

std::variant<TableTerms, QString> parseOwnerTerms(QStringView text) {
    const auto parts = text.split(u'`');
    if (parts.size() != TableTerms::kFieldCount) return QStringLiteral("设置必须是 11 项");
    TableTerms terms = TableTerms::defaults();
    for (int i = 0; i < TableTerms::kFieldCount; ++i) {
        if (isLimitField(i)) continue;
        int v = 0;
        const Range r = rangeOf(i);
        if (!readDigits(parts[i], v))
            return QString::fromUtf16(r.what) + QStringLiteral("不是整数");
        if (v < r.low || v > r.high) {
            return QString::fromUtf16(r.what) +
                   QStringLiteral("必须在 %1 和 %2 之间").arg(r.low).arg(r.high);
        }
        terms.fields_[static_cast<std::size_t>(i)] = v;
    }
    if (terms.bankLimitSeconds() == 0 && terms.stepAllowanceSeconds() == 0)
        return QStringLiteral("总用时和每步限时不能都是 0");
    return terms;
}

}  // namespace xq::server

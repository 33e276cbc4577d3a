#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <variant>

namespace xq::server {

// The eleven numbers that the table owner sets: stake, escape penalty, bank and per-move time,
// with the limits the server imposes travelling in the same record.
class TableTerms {
public:
    enum Field : int {
        kStake,
        kStakeMax,
        kStakeMin,
        kPenalty,
        kPenaltyMax,
        kPenaltyMin,
        kBankHours,
        kBankMinutes,
        kBankSeconds,
        kStepMinutes,
        kStepSeconds,
        kFieldCount
    };

    static TableTerms defaults();

    int value(Field f) const { return fields_[static_cast<std::size_t>(f)]; }
    int stake() const { return value(kStake); }
    int penalty() const { return value(kPenalty); }
    int bankLimitSeconds() const;
    int stepAllowanceSeconds() const;
    // The triples of the game start message: bank limit, then free time per move.
    std::array<std::uint8_t, 3> bankTriple() const;
    std::array<std::uint8_t, 3> stepTriple() const;

    // The record as text, fields joined by "`".
    QString text() const;

    friend bool operator==(const TableTerms&, const TableTerms&) = default;

private:
    std::array<int, kFieldCount> fields_{};
    friend std::variant<TableTerms, QString> parseOwnerTerms(QStringView text);
};

// Reads the owner's record. The limit fields are replaced by the server's own; every other field
// must be digits (an empty box reads 0, as the settings dialog lets it through) within its range.
// Gives the terms, or the reason for refusing them.
std::variant<TableTerms, QString> parseOwnerTerms(QStringView text);

}  // namespace xq::server

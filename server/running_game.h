#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <array>

namespace xq::server {

// A game in progress as it is kept for a restart of the server: enough to set the table up again
// and send its two players the running game when they come back.
struct RunningGame {
    int table = 1;
    std::array<QString, 2> names;  // seat 0, seat 1
    int redSeat = 0;
    QString terms;  // the agreed table settings, "`"-joined
    std::array<int, 2> tally{};
    std::array<int, 2> bankSeconds{};  // used so far, per seat
    QByteArray moves;                  // the record text (.drak)
    int movesAtStart = 0;              // half-moves of a loaded record, not played at the table
    bool rated = true;                 // false: begun while the store took no results
    QDateTime savedAt;

    bool operator==(const RunningGame& o) const {
        return table == o.table && names == o.names && redSeat == o.redSeat && terms == o.terms &&
               tally == o.tally && bankSeconds == o.bankSeconds && moves == o.moves &&
               movesAtStart == o.movesAtStart && rated == o.rated;
    }
};

}  // namespace xq::server

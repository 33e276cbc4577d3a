#pragma once

#include <QString>

namespace xq::server {

// A table client's one-time key to the place the hall granted: 128 bits from the system's
// random source (getrandom), as 32 lowercase hex digits. Guessing one within its minute is out of
// reach; it is never derived from anything an attacker sees.
QString newGrantTicket();

}  // namespace xq::server

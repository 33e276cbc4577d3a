#pragma once

#include <QString>

namespace xq {

// What a hall hands the table client it starts through the environment rather than the command
// line, which every user of the machine may read: the ticket of the seat granted, and how to
// trust the server's certificate ("verify", or "pin:" and the fingerprint; none for plain).
inline constexpr char kTicketVariable[] = "XQ_TICKET";
inline constexpr char kTlsVariable[] = "XQ_TLS";

struct Handover {
    QString ticket;
    QString tls;
};

// Reads both and removes them from this process's environment, so that nothing it starts in
// turn inherits them.
Handover takeHandover();

}  // namespace xq

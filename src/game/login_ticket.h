#pragma once

#include <QString>

#include "startup/kept_ticket.h"
#include "startup/session.h"

namespace xq {

// The ticket the table client logs in with: the one its hall handed it; else the launch line's
// sixth word when that is a ticket (a hall of before); else the one kept for this name in this
// room, so that a window started again by hand comes back to its seat. Empty when the launch data
// name no room to keep one for.
QString loginTicket(const Session& session, const QString& handed,
                    const QString& folder = ticketFolder());

}  // namespace xq

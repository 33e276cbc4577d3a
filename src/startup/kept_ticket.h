#pragma once

#include <QString>

namespace xq {

// A fresh secret: 16 random bytes from the system's source, as 32 lowercase hex digits.
QString freshTicket();

// The folder where a user's tickets are kept, one file per room and name; only he may enter it.
QString ticketFolder();

// The file that keeps the ticket of this name in this room: named by the SHA-256 of
// "host:port:name", so that the folder tells nobody where the user plays or as whom.
QString keptTicketPath(const QString& folder, const QString& host, quint16 port,
                       const QString& name);

// The ticket of this name in this room, the same from one run to the next, so that a restarted
// hall or table window gets its name back. A file that anybody else may read, or that does not
// hold a ticket, is replaced by one holding a fresh ticket. When nothing can be written there the
// fresh ticket serves this run only.
QString keptTicket(const QString& host, quint16 port, const QString& name,
                   const QString& folder = ticketFolder());

}  // namespace xq

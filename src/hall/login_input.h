#pragma once

#include <QString>
#include <optional>

#include "net/wire_limits.h"

namespace xq::hall {

using xq::kMaxNameLength;

// Why a name cannot be used, in words for the user; nothing when it can. The table client's
// launch line splits words at blanks and the protocol separates fields with "`", so a name has
// neither, nor control characters, and every character must exist in code page 936, in which the
// name travels.
std::optional<QString> nameProblem(const QString& name);

// Why a host and port cannot be used, in words for the user; nothing when they can.
std::optional<QString> serverProblem(const QString& host, int port);

// A host and port written as "HOST:PORT" ("[::1]:PORT" for an IPv6 address).
struct ServerAddress {
    QString host;
    int port = 0;
};
std::optional<ServerAddress> parseServerAddress(const QString& text);

// Whether the host is this machine by its usual names: 127.0.0.1 (or another 127.x address),
// ::1 or localhost. Only to this machine may a password travel unencrypted.
bool isLoopbackHost(const QString& host);

// Why a new password cannot be used, in words for the user: it cannot travel, or the second
// typing differs from the first. Nothing when it can.
std::optional<QString> newPasswordProblem(const QString& password, const QString& again);

}  // namespace xq::hall

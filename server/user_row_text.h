#pragma once

#include <QString>

#include "server/user_stats.h"

namespace xq::server {

// Where a person is at the table, as far as the user row tells it.
struct RowPlace {
    int chair = 0;        // the seat of a player, the watched seat of a spectator
    QString watchedName;  // empty for a player
    bool handUp = false;
    bool offline = false;
};

// The 16-field row that describes a person to the clients.
QString userRowText(const QString& name, const UserStats& stats, const RowPlace& place);

// The picture part of the face number: the same for a name every time the server runs.
int facePicture(const QString& name);

}  // namespace xq::server

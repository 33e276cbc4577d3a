#pragma once

#include <QString>

namespace xq::server {

// What the room knows of a player between runs.
struct StoredPlayer {
    int userNumber =
        0;             // 10000 + the player's row id: stable, shared by all servers on one database
    int score = 1000;  // a new player starts at 1000
    int won = 0, lost = 0, drawn = 0, escapes = 0;
    int face = 0;  // face number as the table row shows it (new players: facePicture(name))
    // As stored: a look-alike of it given at the door finds this player under this spelling.
    QString name = QString();
    int games() const { return won + lost + drawn + escapes; }

    bool operator==(const StoredPlayer&) const = default;
};

}  // namespace xq::server

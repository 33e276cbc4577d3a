#pragma once

#include <QString>
#include <QStringList>

namespace xq::hall {

// What the table client needs to know of the user and the room it joins.
struct LaunchData {
    QString host;
    quint16 port = 0;
    QString ticket;
    QString name;
};

// The game's name and the scoring mode ("1": points) as the hall hands them on.
QString GameName();
QString scoringMode();

// The nine words the table client is started with, in its order: the launch token, the server's
// address and port, the game's name, the level titles, the ticket, an unused word, the user's
// name and the scoring mode.
QStringList launchWords(const LaunchData& data);

}  // namespace xq::hall

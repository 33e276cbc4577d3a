#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace xq::hall {

// What the table client needs to know of the user and the room it joins, on its command line.
struct LaunchData {
    QString host;
    quint16 port = 0;
    QString name;
};

// Variables set in the table client's environment only: names and values.
using LaunchEnvironment = QHash<QString, QString>;

// The game's name and the scoring mode ("1": points) as the hall hands them on.
QString GameName();
QString scoringMode();

// The nine words the table client is started with, in its order: the launch token, the server's
// address and port, the game's name, the level titles, the ticket word ("-": the ticket travels in
// the environment, where other users cannot read it), an unused word, the user's name and the
// scoring mode.
QStringList launchWords(const LaunchData& data);

// The ticket of the place granted and the text of the TLS policy, for the table client's
// environment; what is empty is not set.
LaunchEnvironment launchEnvironment(const QString& ticket, const QString& tlsPolicy);

}  // namespace xq::hall

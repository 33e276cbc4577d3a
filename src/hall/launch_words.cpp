#include "hall/launch_words.h"

#include "hall/level_titles.h"
#include "startup/command_line.h"
#include "startup/handover.h"

namespace xq::hall {

QString GameName() {
    return QStringLiteral("中国象棋");
}

QString scoringMode() {
    return QStringLiteral("1");
}

QStringList launchWords(const LaunchData& d) {
    return {launchToken(),       d.host,        QString::number(d.port),
            GameName(),          levelTitles(), QStringLiteral("-"),
            QStringLiteral("-"), d.name,        scoringMode()};
}

LaunchEnvironment launchEnvironment(const QString& ticket, const QString& tlsPolicy) {
    LaunchEnvironment environment;
    if (!ticket.isEmpty()) environment.insert(QString::fromLatin1(kTicketVariable), ticket);
    if (!tlsPolicy.isEmpty()) environment.insert(QString::fromLatin1(kTlsVariable), tlsPolicy);
    return environment;
}

}  // namespace xq::hall

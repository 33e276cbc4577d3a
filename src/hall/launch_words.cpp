#include "hall/launch_words.h"

#include "hall/level_titles.h"
#include "startup/command_line.h"

namespace xq::hall {

QString GameName() {
    return QStringLiteral("中国象棋");
}

QString scoringMode() {
    return QStringLiteral("1");
}

QStringList launchWords(const LaunchData& d) {
    return {launchToken(),       d.host,        QString::number(d.port),
            GameName(),          levelTitles(), d.ticket.isEmpty() ? QStringLiteral("-") : d.ticket,
            QStringLiteral("-"), d.name,        scoringMode()};
}

}  // namespace xq::hall

#include "hall/launch_words.h"

#include "hall/level_titles.h"
#include "startup/command_line.h"

namespace xq::hall {

QString GameName() {
    return QStringLiteral("中国象棋");
}

QString ScoringMode() {
    return QStringLiteral("1");
}

QStringList LaunchWords(const LaunchData& d) {
    return {LaunchToken(),       d.host,        QString::number(d.port),
            GameName(),          LevelTitles(), d.ticket.isEmpty() ? QStringLiteral("-") : d.ticket,
            QStringLiteral("-"), d.name,        ScoringMode()};
}

}  // namespace xq::hall

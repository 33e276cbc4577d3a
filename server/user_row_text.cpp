#include "server/user_row_text.h"

#include <QStringList>

namespace xq::server {

int facePicture(const QString& name) {
    // FNV-1a over the UTF-8 bytes: unlike qHash it is not seeded per process.
    quint32 h = 2166136261u;
    for (char c : name.toUtf8()) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return static_cast<int>(h % 20);
}

QString userRowText(const QString& name, const UserStats& stats, const RowPlace& place) {
    const QStringList fields = {
        name,
        QString::number(stats.userNumber),
        QString::number(stats.score),
        QString::number(stats.score),
        place.watchedName,
        QString::number(stats.games),
        QString::number(stats.winRate()),
        QString::number(stats.escapeRate()),
        QString::number(stats.won),
        QString::number(stats.lost),
        QString::number(stats.drawn),
        QStringLiteral("0"),
        QString::number(stats.face >= 0 ? stats.face : facePicture(name)),  // membership 0
        QString::number(place.chair),
        place.handUp ? QStringLiteral("1") : QStringLiteral("0"),
        place.offline ? QStringLiteral("1") : QStringLiteral("0"),
    };
    return fields.join(u'`');
}

}  // namespace xq::server

#include "server/result_spill.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include "server/store/store_location.h"

namespace xq::server {
namespace {

bool fail(QString* error, const QString& why) {
    if (error) *error = why;
    return false;
}

QJsonObject toJson(const FinishedGame& g) {
    return QJsonObject{
        {QStringLiteral("table"), g.table},
        {QStringLiteral("name0"), g.names[0]},
        {QStringLiteral("name1"), g.names[1]},
        {QStringLiteral("redSeat"), g.redSeat},
        {QStringLiteral("result"), g.result},
        {QStringLiteral("escaped"), g.escaped},
        {QStringLiteral("reason"), g.reason},
        {QStringLiteral("change0"), g.scoreChange[0]},
        {QStringLiteral("change1"), g.scoreChange[1]},
        {QStringLiteral("terms"), g.terms},
        {QStringLiteral("moves"), QString::fromLatin1(g.moves.toBase64())},
        // As text: a double would round a time in milliseconds only far in the future, but
        // the archive compares it exactly.
        {QStringLiteral("endedMs"), QString::number(g.endedAt.toMSecsSinceEpoch())},
    };
}

std::optional<FinishedGame> fromJson(const QJsonObject& o) {
    const char* keys[] = {"table",  "name0",   "name1",   "redSeat", "result", "escaped",
                          "reason", "change0", "change1", "terms",   "moves",  "endedMs"};
    for (const char* key : keys) {
        if (!o.contains(QLatin1String(key))) return std::nullopt;
    }
    FinishedGame g;
    g.table = o.value(QStringLiteral("table")).toInt();
    g.names = {o.value(QStringLiteral("name0")).toString(),
               o.value(QStringLiteral("name1")).toString()};
    g.redSeat = o.value(QStringLiteral("redSeat")).toInt();
    g.result = o.value(QStringLiteral("result")).toInt();
    g.escaped = o.value(QStringLiteral("escaped")).toBool();
    g.reason = o.value(QStringLiteral("reason")).toString();
    g.scoreChange = {o.value(QStringLiteral("change0")).toInt(),
                     o.value(QStringLiteral("change1")).toInt()};
    g.terms = o.value(QStringLiteral("terms")).toString();
    const auto moves =
        QByteArray::fromBase64Encoding(o.value(QStringLiteral("moves")).toString().toLatin1(),
                                       QByteArray::AbortOnBase64DecodingErrors);
    if (!moves) return std::nullopt;
    g.moves = *moves;
    bool ok = false;
    const qint64 ended = o.value(QStringLiteral("endedMs")).toString().toLongLong(&ok);
    if (!ok) return std::nullopt;
    g.endedAt = QDateTime::fromMSecsSinceEpoch(ended, Qt::UTC);
    if (!finishedGameFault(g).isEmpty()) return std::nullopt;
    return g;
}

}  // namespace

QString spillPathFor(const QString& where, const QString& folder, const QString& programFolder) {
    const auto location = parseStoreLocation(where, nullptr);
    const bool postgres = location && location->kind == StoreLocation::Kind::Postgres;
    if (!postgres) {
        const QFileInfo file(where);
        const QString dir = folder.isEmpty() ? file.absolutePath() : folder;
        return QDir(dir).filePath(file.fileName() + QStringLiteral(".unsaved-results.json"));
    }
    // One file per database, whichever way its connection is written.
    const auto& p = location->params;
    const QByteArray who =
        (p.value(QStringLiteral("host")) + u'\n' + p.value(QStringLiteral("port")) + u'\n' +
         p.value(QStringLiteral("dbname")))
            .toUtf8();
    const QString tag = QString::fromLatin1(
        QCryptographicHash::hash(who, QCryptographicHash::Sha256).toHex().left(12));
    return QDir(folder.isEmpty() ? programFolder : folder)
        .filePath(QStringLiteral("xqtable-%1.unsaved-results.json").arg(tag));
}

bool writeSpill(const QString& path, const std::vector<FinishedGame>& games, QString* error) {
    QJsonArray list;
    for (const FinishedGame& g : games)
        list.append(toJson(g));
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    const QByteArray text = QJsonDocument(list).toJson(QJsonDocument::Indented);
    if (file.write(text) != text.size() || !file.commit())
        return fail(error, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    return true;
}

std::optional<std::vector<FinishedGame>> readSpill(const QString& path, QString* error) {
    std::vector<FinishedGame> games;
    QFile file(path);
    if (!file.exists()) return games;
    if (!file.open(QIODevice::ReadOnly)) {
        fail(error, QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    QJsonParseError parsed;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parsed);
    if (parsed.error != QJsonParseError::NoError || !doc.isArray()) {
        fail(error, QStringLiteral("%1 is damaged: %2").arg(path, parsed.errorString()));
        return std::nullopt;
    }
    for (const QJsonValue& v : doc.array()) {
        const auto g = v.isObject() ? fromJson(v.toObject()) : std::nullopt;
        if (!g) {
            fail(error, QStringLiteral("%1 holds a game that cannot be read").arg(path));
            return std::nullopt;
        }
        games.push_back(*g);
    }
    return games;
}

}  // namespace xq::server

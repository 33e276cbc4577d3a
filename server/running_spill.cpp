#include "server/running_spill.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <array>
#include <optional>

namespace xq::server {
namespace {

const QString kSuffix = QStringLiteral(".unsaved-results.json");

QJsonArray pair(const std::array<int, 2>& v) {
    return QJsonArray{v[0], v[1]};
}

std::optional<std::array<int, 2>> pairFrom(const QJsonValue& v) {
    const QJsonArray a = v.toArray();
    if (a.size() != 2 || !a[0].isDouble() || !a[1].isDouble()) return std::nullopt;
    return std::array<int, 2>{a[0].toInt(), a[1].toInt()};
}

QJsonObject runningToJson(const RunningGame& g) {
    const QDateTime saved = g.savedAt.isValid() ? g.savedAt : QDateTime::currentDateTimeUtc();
    return QJsonObject{
        {QStringLiteral("table"), g.table},
        {QStringLiteral("names"), QJsonArray{g.names[0], g.names[1]}},
        {QStringLiteral("redSeat"), g.redSeat},
        {QStringLiteral("terms"), g.terms},
        {QStringLiteral("tally"), pair(g.tally)},
        {QStringLiteral("bankSeconds"), pair(g.bankSeconds)},
        {QStringLiteral("moves"), QString::fromLatin1(g.moves.toBase64())},
        {QStringLiteral("movesAtStart"), g.movesAtStart},
        {QStringLiteral("rated"), g.rated},
        // As text, like the results' times: exact to the millisecond.
        {QStringLiteral("savedMs"), QString::number(saved.toMSecsSinceEpoch())},
    };
}

std::optional<RunningGame> runningFromJson(const QJsonObject& o) {
    RunningGame g;
    const QJsonValue table = o.value(QStringLiteral("table"));
    const QJsonArray names = o.value(QStringLiteral("names")).toArray();
    const QJsonValue redSeat = o.value(QStringLiteral("redSeat"));
    const QJsonValue terms = o.value(QStringLiteral("terms"));
    const auto tally = pairFrom(o.value(QStringLiteral("tally")));
    const auto bank = pairFrom(o.value(QStringLiteral("bankSeconds")));
    const QJsonValue atStart = o.value(QStringLiteral("movesAtStart"));
    const QJsonValue rated = o.value(QStringLiteral("rated"));
    if (!table.isDouble() || names.size() != 2 || !names[0].isString() || !names[1].isString() ||
        !redSeat.isDouble() || !terms.isString() || !tally || !bank || !atStart.isDouble() ||
        !rated.isBool())
        return std::nullopt;
    const auto moves =
        QByteArray::fromBase64Encoding(o.value(QStringLiteral("moves")).toString().toLatin1(),
                                       QByteArray::AbortOnBase64DecodingErrors);
    bool ok = false;
    const qint64 saved = o.value(QStringLiteral("savedMs")).toString().toLongLong(&ok);
    if (!moves || !ok) return std::nullopt;
    g.table = table.toInt();
    g.names = {names[0].toString(), names[1].toString()};
    g.redSeat = redSeat.toInt();
    g.terms = terms.toString();
    g.tally = *tally;
    g.bankSeconds = *bank;
    g.moves = *moves;
    g.movesAtStart = atStart.toInt();
    g.rated = rated.toBool();
    g.savedAt = QDateTime::fromMSecsSinceEpoch(saved, Qt::UTC);
    // Whether the game itself holds together is the table's to judge when it sets it up.
    return g;
}

RunningSpill unreadable(const QString& why) {
    return RunningSpill{RunningSpill::State::Unreadable, {}, why};
}

}  // namespace

QString runningSpillPathFor(const QString& resultSpill, const QString& room) {
    QString base = resultSpill;
    if (base.endsWith(kSuffix)) base.chop(kSuffix.size());
    const QString tag = QString::fromLatin1(
        QCryptographicHash::hash(room.toUtf8(), QCryptographicHash::Sha256).toHex().left(12));
    return QStringLiteral("%1.%2.unsaved-running.json").arg(base, tag);
}

bool writeRunningSpill(const QString& path, const QString& room,
                       const std::vector<RunningGame>& games, QString* error) {
    QJsonArray list;
    for (const RunningGame& g : games)
        list.append(runningToJson(g));
    const QJsonObject all{{QStringLiteral("room"), room}, {QStringLiteral("games"), list}};
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    const QByteArray text = QJsonDocument(all).toJson(QJsonDocument::Indented);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        if (error) *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

RunningSpill readRunningSpill(const QString& path, const QString& room) {
    QFile file(path);
    if (!file.exists()) return {};
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    QJsonParseError parsed;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parsed);
    if (parsed.error != QJsonParseError::NoError || !doc.isObject())
        return unreadable(QStringLiteral("%1 is damaged: %2").arg(path, parsed.errorString()));
    const QJsonObject all = doc.object();
    if (all.value(QStringLiteral("room")).toString() != room)
        return unreadable(QStringLiteral("%1 holds the games of another room").arg(path));
    const QJsonValue games = all.value(QStringLiteral("games"));
    if (!games.isArray()) return unreadable(QStringLiteral("%1 is damaged: no games").arg(path));
    RunningSpill spill{RunningSpill::State::Read, {}, {}};
    for (const QJsonValue& v : games.toArray()) {
        const auto g = v.isObject() ? runningFromJson(v.toObject()) : std::nullopt;
        if (!g) return unreadable(QStringLiteral("%1 holds a game that cannot be read").arg(path));
        spill.games.push_back(*g);
    }
    return spill;
}

}  // namespace xq::server

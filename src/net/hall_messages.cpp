#include "net/hall_messages.h"

#include <QStringList>

#include "net/cp936.h"
#include "net/wire_limits.h"

namespace xq::hall {
namespace {

QByteArray message(std::initializer_list<std::uint8_t> head, const QString& text = {}) {
    QByteArray m;
    for (std::uint8_t b : head)
        m.append(static_cast<char>(b));
    return m + encodeCp936(text);
}

// The text after `skip` header bytes; nothing when it is not whole code page 936.
std::optional<QString> textFrom(const QByteArray& m, qsizetype skip) {
    if (m.size() < skip) return std::nullopt;
    QString text;
    if (!decodeCp936(QByteArrayView(m).sliced(skip), text)) return std::nullopt;
    return text;
}

// A whole decimal number within [low, high], as the rows carry them.
std::optional<int> number(const QString& field, int low, int high) {
    if (field.isEmpty() || field.size() > 11) return std::nullopt;
    bool ok = false;
    const int v = field.toInt(&ok);
    if (!ok || v < low || v > high) return std::nullopt;
    return v;
}

constexpr int kAny = 2'000'000'000;

// A ticket as the protocol writes one: 1 to 64 printable ASCII characters without "`".
bool isTicketText(const QString& t) {
    if (t.isEmpty() || t.size() > kMaxTicketLength) return false;
    for (QChar c : t) {
        if (c.unicode() < 0x21 || c.unicode() > 0x7E || c == u'`') return false;
    }
    return true;
}

std::optional<Place> placeOf(const QString& field) {
    const auto v = number(field, 0, 2);
    if (!v) return std::nullopt;
    return static_cast<Place>(*v);
}

template <typename Row, typename Parse>
std::optional<QList<Row>> rows(const QString& text, Parse parse) {
    QList<Row> out;
    if (text.isEmpty()) return out;
    for (const QString& line : text.split(u'\n')) {
        const auto row = parse(line);
        if (!row) return std::nullopt;
        out.append(*row);
    }
    return out;
}

QString joined(const QStringList& lines) {
    return lines.join(u'\n');
}

// Lines behind `head`, as many to a message as surely fit kMaxBatchBytes (a character is at most
// two bytes); a line too long for any message still goes, alone. `firstHead` heads the first
// message. Each message's text is encoded at once: a crowd's rows are thousands of lines.
QList<QByteArray> batched(const QByteArray& firstHead, const QByteArray& head,
                          const QStringList& lines) {
    QList<QByteArray> out;
    QString text;
    qsizetype bound = 0;
    const auto close = [&] {
        out.append((out.isEmpty() ? firstHead : head) + encodeCp936(text));
        text.clear();
        bound = 0;
    };
    bool any = false;
    for (const QString& line : lines) {
        const qsizetype cost = 2 * line.size() + 1;
        if (any && 2 + bound + cost > kMaxBatchBytes) {
            close();
            any = false;
        }
        if (any) text.append(u'\n');
        text.append(line);
        bound += cost;
        any = true;
    }
    if (any) close();
    return out;
}

// The same for lines already encoded, by their exact sizes.
QList<QByteArray> batchedBytes(const QByteArray& firstHead, const QByteArray& head,
                               const QList<QByteArray>& lines) {
    QList<QByteArray> out;
    QByteArray m;
    for (const QByteArray& line : lines) {
        if (!m.isEmpty() && m.size() + 1 + line.size() > kMaxBatchBytes) {
            out.append(m);
            m.clear();
        }
        if (m.isEmpty()) {
            m = out.isEmpty() ? firstHead : head;
        } else {
            m.append('\n');
        }
        m.append(line);
    }
    if (!m.isEmpty()) out.append(m);
    return out;
}

QByteArray head(std::initializer_list<std::uint8_t> bytes) {
    QByteArray h;
    for (std::uint8_t b : bytes)
        h.append(static_cast<char>(b));
    return h;
}

QStringList playerLines(const QList<PlayerRow>& rows) {
    QStringList lines;
    lines.reserve(rows.size());
    for (const PlayerRow& r : rows)
        lines << playerRowText(r);
    return lines;
}

}  // namespace

QString playerRowText(const PlayerRow& r) {
    return QStringList{r.name,
                       QString::number(r.userNumber),
                       QString::number(r.score),
                       QString::number(r.games),
                       QString::number(r.won),
                       QString::number(r.lost),
                       QString::number(r.drawn),
                       QString::number(r.escapes),
                       QString::number(r.face),
                       QString::number(r.table),
                       QString::number(static_cast<int>(r.place))}
        .join(u'`');
}

std::optional<PlayerRow> parsePlayerRow(const QString& text) {
    const QStringList f = text.split(u'`');
    if (f.size() != 11 || f[0].isEmpty()) return std::nullopt;
    PlayerRow r;
    r.name = f[0];
    const auto userNumber = number(f[1], 0, kAny);
    const auto score = number(f[2], -kAny, kAny);
    const auto games = number(f[3], 0, kAny);
    const auto won = number(f[4], 0, kAny);
    const auto lost = number(f[5], 0, kAny);
    const auto drawn = number(f[6], 0, kAny);
    const auto escapes = number(f[7], 0, kAny);
    const auto face = number(f[8], 0, kAny);
    const auto table = number(f[9], 0, kAny);
    const auto place = placeOf(f[10]);
    if (!userNumber || !score || !games || !won || !lost || !drawn || !escapes || !face || !table ||
        !place)
        return std::nullopt;
    r.userNumber = *userNumber;
    r.score = *score;
    r.games = *games;
    r.won = *won;
    r.lost = *lost;
    r.drawn = *drawn;
    r.escapes = *escapes;
    r.face = *face;
    r.table = *table;
    r.place = *place;
    return r;
}

QString tableRowText(const TableRow& r) {
    return QStringList{QString::number(r.number),
                       r.names[0],
                       QString::number(r.scores[0]),
                       r.names[1],
                       QString::number(r.scores[1]),
                       QString::number(r.spectators),
                       r.playing ? QStringLiteral("1") : QStringLiteral("0")}
        .join(u'`');
}

std::optional<TableRow> parseTableRow(const QString& text) {
    const QStringList f = text.split(u'`');
    if (f.size() != 7) return std::nullopt;
    const auto table = number(f[0], 1, kAny);
    const auto score0 = number(f[2], -kAny, kAny);
    const auto score1 = number(f[4], -kAny, kAny);
    const auto spectators = number(f[5], 0, kAny);
    const auto playing = number(f[6], 0, 1);
    if (!table || !score0 || !score1 || !spectators || !playing) return std::nullopt;
    TableRow r;
    r.number = *table;
    r.names = {f[1], f[3]};
    r.scores = {*score0, *score1};
    r.spectators = *spectators;
    r.playing = *playing == 1;
    return r;
}

QByteArray ownRow(const PlayerRow& row) {
    return message({code::kOwnRow, 0}, playerRowText(row));
}

QByteArray playerList(const QList<PlayerRow>& rows) {
    QStringList lines;
    for (const PlayerRow& r : rows)
        lines << playerRowText(r);
    return message({code::kPlayers, 0}, joined(lines));
}

QByteArray playerChanged(const PlayerRow& row) {
    return message({code::kPlayers, 1}, playerRowText(row));
}

QByteArray playerLeft(const QString& name) {
    return message({code::kPlayers, 2}, name);
}

QByteArray tableList(const QList<TableRow>& rows) {
    QStringList lines;
    for (const TableRow& r : rows)
        lines << tableRowText(r);
    return message({code::kTables, 0}, joined(lines));
}

QByteArray tableChanged(const TableRow& row) {
    return message({code::kTables, 1}, tableRowText(row));
}

QList<QByteArray> wholePlayerList(const QList<PlayerRow>& rows) {
    if (rows.isEmpty()) return {playerList({})};
    return batched(head({code::kPlayers, 0}), head({code::kPlayerRows}), playerLines(rows));
}

QByteArray encodedPlayerRow(const PlayerRow& row) {
    return encodeCp936(playerRowText(row));
}

QList<QByteArray> wholePlayerListOf(const QList<QByteArray>& encodedRows) {
    if (encodedRows.isEmpty()) return {playerList({})};
    return batchedBytes(head({code::kPlayers, 0}), head({code::kPlayerRows}), encodedRows);
}

QList<QByteArray> playerRows(const QList<PlayerRow>& rows) {
    const QByteArray h = head({code::kPlayerRows});
    return batched(h, h, playerLines(rows));
}

QList<QByteArray> playersGone(const QStringList& names) {
    const QByteArray h = head({code::kPlayersGone});
    return batched(h, h, names);
}

QList<QByteArray> tableRows(const QList<TableRow>& rows) {
    QStringList lines;
    lines.reserve(rows.size());
    for (const TableRow& r : rows)
        lines << tableRowText(r);
    const QByteArray h = head({code::kTableRows});
    return batched(h, h, lines);
}

QByteArray chatLine(const QString& speaker, const QString& text) {
    return message({code::kChat}, speaker + u'`' + text);
}

QByteArray granted(int table, Place place, const QString& ticket) {
    return message({code::kReservation, 0},
                   QStringLiteral("%1`%2`%3").arg(table).arg(static_cast<int>(place)).arg(ticket));
}

QByteArray refused(int table, Place place, const QString& reason) {
    return message({code::kReservation, 1},
                   QStringLiteral("%1`%2`").arg(table).arg(static_cast<int>(place)) + reason);
}

QByteArray gameWaiting(int table, Place place) {
    return message({code::kGameWaiting},
                   QStringLiteral("%1`%2").arg(table).arg(static_cast<int>(place)));
}

QByteArray notice(const QString& text) {
    return message({code::kNotice}, text);
}

QByteArray passwordChanged() {
    return message({code::kPasswordResult, 0});
}

QByteArray passwordRefused(const QString& reason) {
    return message({code::kPasswordResult, 1}, reason);
}

QByteArray hello(const QString& name, const QString& ticket) {
    return QByteArray(kHelloPrefix) +
           encodeCp936(name + u'`' + (ticket.isEmpty() ? QStringLiteral("-") : ticket));
}

QByteArray accountHello(const QString& name, const QString& password, bool registering) {
    return QByteArray(registering ? kRegisterHelloPrefix : kAccountHelloPrefix) +
           encodeCp936(name + u'`' + password);
}

QByteArray changePassword(const QString& oldPassword, const QString& newPassword) {
    return message({code::kChangePassword}, oldPassword + u'`' + newPassword);
}

std::optional<QString> passwordWireProblem(const QString& password) {
    if (password.isEmpty()) return QStringLiteral("密码不能为空");
    if (password.toUtf8().size() > kMaxPasswordBytes)
        return QStringLiteral("密码太长（最多 %1 字节）").arg(kMaxPasswordBytes);
    for (QChar c : password) {
        if (c == u'`') return QStringLiteral("密码不能含有 ` 字符");
        if (c.category() == QChar::Other_Control) return QStringLiteral("密码不能含有控制字符");
    }
    QString back;
    if (!decodeCp936(encodeCp936(password), back) || back != password)
        return QStringLiteral("密码含有无法传送的字符");
    return std::nullopt;
}

QByteArray reserveSeat(int table, int seat) {
    return message({code::kReserve, 0}, QStringLiteral("%1`%2").arg(table).arg(seat));
}

QByteArray reserveWatch(int table) {
    return message({code::kReserve, 1}, QString::number(table));
}

QByteArray say(const QString& text) {
    return message({code::kSay}, text);
}

QByteArray leave() {
    return message({code::kLeave});
}

QByteArray keepAlive() {
    return message({code::kKeepAlive});
}

std::optional<in::ServerMessage> parseServerMessage(const QByteArray& m) {
    if (m.isEmpty()) return std::nullopt;
    const auto c = static_cast<std::uint8_t>(m[0]);
    const int sub = m.size() > 1 ? static_cast<std::uint8_t>(m[1]) : -1;
    switch (c) {
        case code::kOwnRow: {
            const auto text = textFrom(m, 2);
            if (sub != 0 || !text) return std::nullopt;
            const auto row = parsePlayerRow(*text);
            if (!row) return std::nullopt;
            return in::OwnRow{*row};
        }
        case code::kPlayers: {
            const auto text = textFrom(m, 2);
            if (!text) return std::nullopt;
            if (sub == 0) {
                const auto list = rows<PlayerRow>(*text, parsePlayerRow);
                if (!list) return std::nullopt;
                return in::Players{*list};
            }
            if (sub == 1) {
                const auto row = parsePlayerRow(*text);
                if (!row) return std::nullopt;
                return in::PlayerChanged{*row};
            }
            if (sub == 2 && !text->isEmpty()) return in::PlayerLeft{*text};
            return std::nullopt;
        }
        case code::kTables: {
            const auto text = textFrom(m, 2);
            if (!text) return std::nullopt;
            if (sub == 0) {
                const auto list = rows<TableRow>(*text, parseTableRow);
                if (!list) return std::nullopt;
                return in::Tables{*list};
            }
            if (sub == 1) {
                const auto row = parseTableRow(*text);
                if (!row) return std::nullopt;
                return in::TableChanged{*row};
            }
            return std::nullopt;
        }
        case code::kPlayerRows: {
            const auto text = textFrom(m, 1);
            const auto list = text ? rows<PlayerRow>(*text, parsePlayerRow) : std::nullopt;
            if (!list) return std::nullopt;
            return in::PlayerRows{*list};
        }
        case code::kPlayersGone: {
            const auto text = textFrom(m, 1);
            const auto list = text ? rows<QString>(*text,
                                                   [](const QString& name) {
                                                       return name.isEmpty()
                                                                  ? std::nullopt
                                                                  : std::optional<QString>(name);
                                                   })
                                   : std::nullopt;
            if (!list) return std::nullopt;
            return in::PlayersGone{*list};
        }
        case code::kTableRows: {
            const auto text = textFrom(m, 1);
            const auto list = text ? rows<TableRow>(*text, parseTableRow) : std::nullopt;
            if (!list) return std::nullopt;
            return in::TableRows{*list};
        }
        case code::kChat: {
            const auto text = textFrom(m, 1);
            if (!text) return std::nullopt;
            const qsizetype cut = text->indexOf(u'`');
            if (cut <= 0) return std::nullopt;
            return in::Chat{text->left(cut), text->mid(cut + 1)};
        }
        case code::kReservation: {
            const auto text = textFrom(m, 2);
            if ((sub != 0 && sub != 1) || !text) return std::nullopt;
            const QStringList f = text->split(u'`');
            if (f.size() < 2) return std::nullopt;
            const auto table = number(f[0], 1, kAny);
            const auto place = placeOf(f[1]);
            if (!table || !place) return std::nullopt;
            in::Reservation r{sub == 0, *table, *place, {}, {}};
            if (sub == 0) {
                // A server that issues no tickets grants with two fields.
                if (f.size() > 3) return std::nullopt;
                if (f.size() == 3) {
                    if (!isTicketText(f[2])) return std::nullopt;
                    r.ticket = f[2];
                }
            }
            if (sub == 1) r.reason = text->section(u'`', 2);
            return r;
        }
        case code::kGameWaiting: {
            const auto text = textFrom(m, 1);
            if (!text) return std::nullopt;
            const QStringList f = text->split(u'`');
            if (f.size() != 2) return std::nullopt;
            const auto table = number(f[0], 1, kAny);
            const auto place = placeOf(f[1]);
            if (!table || !place || *place == Place::Watch) return std::nullopt;
            return in::GameWaiting{*table, *place};
        }
        case code::kPasswordResult: {
            const auto text = textFrom(m, 2);
            if (!text) return std::nullopt;
            if (sub == 0 && text->isEmpty()) return in::PasswordResult{true, {}};
            if (sub == 1) return in::PasswordResult{false, *text};
            return std::nullopt;
        }
        case code::kNotice: {
            const auto text = textFrom(m, 1);
            if (!text) return std::nullopt;
            return in::Notice{*text};
        }
        default:
            return std::nullopt;
    }
}

std::optional<in::ClientMessage> parseClientMessage(const QByteArray& m) {
    if (m.isEmpty()) return std::nullopt;
    const auto c = static_cast<std::uint8_t>(m[0]);
    if (c == code::kLeave) {
        if (m.size() != 1) return std::nullopt;
        return in::Leave{};
    }
    if (c == code::kKeepAlive) {
        if (m.size() != 1) return std::nullopt;
        return in::KeepAlive{};
    }
    if (c == code::kSay) {
        const auto text = textFrom(m, 1);
        if (!text || text->isEmpty()) return std::nullopt;
        return in::Say{*text};
    }
    if (c == code::kChangePassword) {
        const auto text = textFrom(m, 1);
        if (!text) return std::nullopt;
        const qsizetype cut = text->indexOf(u'`');
        if (cut < 0) return std::nullopt;
        in::ChangePassword change{text->left(cut), text->mid(cut + 1)};
        if (passwordWireProblem(change.oldPassword) || passwordWireProblem(change.newPassword))
            return std::nullopt;
        return change;
    }
    if (c != code::kReserve || m.size() < 2) return std::nullopt;
    const auto text = textFrom(m, 2);
    if (!text) return std::nullopt;
    if (m[1] == 0) {
        const QStringList f = text->split(u'`');
        if (f.size() != 2) return std::nullopt;
        const auto table = number(f[0], 1, kAny);
        const auto seat = number(f[1], 0, 1);
        if (!table || !seat) return std::nullopt;
        return in::Reserve{*table, static_cast<Place>(*seat)};
    }
    if (m[1] == 1) {
        const auto table = number(*text, 1, kAny);
        if (!table) return std::nullopt;
        return in::Reserve{*table, Place::Watch};
    }
    return std::nullopt;
}

}  // namespace xq::hall

#include "server/outgoing.h"

#include "net/cp936.h"
#include "net/message_codes.h"

namespace xq::server::out {

Cmd bytes(std::initializer_list<std::uint8_t> b) {
    Cmd cmd;
    cmd.reserve(static_cast<qsizetype>(b.size()));
    for (std::uint8_t v : b)
        cmd.append(static_cast<char>(v));
    return cmd;
}

Cmd withText(std::initializer_list<std::uint8_t> head, const QString& text) {
    Cmd cmd = bytes(head);
    cmd.append(EncodeCp936(text));
    return cmd;
}

Cmd identity(const QString& name, const QString& watched) {
    return withText({code::kUser, 3}, name + u'`' + watched);
}

Cmd userList(const QStringList& rows) {
    return withText({code::kUser, 2}, rows.join(u'\n'));
}

Cmd playerArrived(const QString& row) {
    return withText({code::kUser, 4}, row);
}

Cmd spectatorArrived(const QByteArray& encodedRow) {
    return bytes({code::kUser, 0}) + encodedRow;
}

Cmd presence(std::uint8_t sub, const QString& text) {
    return withText({code::kPresence, sub}, text);
}

Cmd leftTable(const QString& name) {
    return withText({code::kLeave, 0}, name);
}

Cmd tableWaits() {
    return withText({code::kTableSettings, 0}, QStringLiteral("1`0`0`0`0"));
}

Cmd settingsStage(int seat, bool ownerConfirmed, const TableTerms& terms) {
    const QString text = QStringLiteral("1`%1`0`%2`0`1`%3`")
                             .arg(seat)
                             .arg(seat == 0 ? 1 : 0)
                             .arg(ownerConfirmed ? 1 : 0) +
                         terms.text();
    return withText({code::kTableSettings, 0}, text);
}

Cmd handUp(int raised, const QString& text) {
    return withText({code::kHandUp, static_cast<std::uint8_t>(raised)}, text);
}

Cmd notice(const QString& text) {
    return withText({code::kNotice}, text);
}

Cmd gameStart(int redSeat, const TableTerms& terms) {
    Cmd cmd(11, '\0');
    cmd[0] = static_cast<char>(code::kGameStart);
    const auto red = static_cast<char>(redSeat);
    cmd.append(red);
    cmd.append(red);  // red moves first
    for (std::uint8_t b : terms.bankTriple())
        cmd.append(static_cast<char>(b));
    for (std::uint8_t b : terms.stepTriple())
        cmd.append(static_cast<char>(b));
    return cmd;
}

Cmd moveEcho(int seat, const QiPuItem& m, const std::array<std::uint8_t, 3>& bank) {
    return bytes({code::kMove, 0, static_cast<std::uint8_t>(seat), m.bteFromPos, m.bteQiZi,
                  m.bteToPos, m.bteEatQiZi, bank[0], bank[1], bank[2]});
}

Cmd gameEnd(qint32 score0, qint32 score1, int result, const QString& reason) {
    Cmd cmd(10, '\0');
    cmd[0] = static_cast<char>(code::kGameEnd);
    PutLongToCmd(score0, cmd, 1);
    PutLongToCmd(score1, cmd, 5);
    cmd[9] = static_cast<char>(result);
    cmd.append(EncodeCp936(reason));
    return cmd;
}

Cmd recordMoves(const QiPuHistory& history) {
    Cmd cmd = bytes({code::kLoad, code::kRecordData});
    for (std::size_t k = 1; k < history.size(); ++k) {
        const QiPuItem& m = history[k];
        cmd.append(static_cast<char>(m.bteFromPos));
        cmd.append(static_cast<char>(m.bteQiZi));
        cmd.append(static_cast<char>(m.bteToPos));
        cmd.append(static_cast<char>(m.bteEatQiZi));
    }
    return cmd;
}

}  // namespace xq::server::out

#include "net/table_events.h"

#include <algorithm>

#include "net/cp936.h"
#include "net/message_codes.h"

namespace xq::tablemsg {
namespace {

constexpr std::uint8_t kWindow = 5;  // 130/5

namespace presence {
constexpr std::uint8_t kBack = 0;
constexpr std::uint8_t kOffline = 3;
constexpr std::uint8_t kSpectatorLeft = 4;
constexpr std::uint8_t kRow = 6;
}  // namespace presence

// Where the fixed parts of a message end.
constexpr qsizetype kStartLength = 19;
constexpr qsizetype kEchoLength = 10;
constexpr qsizetype kGameEndHeader = 10;
constexpr qsizetype kSnapshotMoves = 22;
constexpr qsizetype kMoveBytes = 4;

QByteArray bytes(std::initializer_list<std::uint8_t> b) {
    QByteArray m;
    m.reserve(static_cast<qsizetype>(b.size()));
    for (std::uint8_t v : b)
        m.append(static_cast<char>(v));
    return m;
}

QByteArray withText(std::initializer_list<std::uint8_t> head, const QString& text) {
    return bytes(head) + encodeCp936(text);
}

void put(QByteArray& m, std::uint8_t b) {
    m.append(static_cast<char>(b));
}
void put(QByteArray& m, const Triple& t) {
    for (std::uint8_t b : t)
        put(m, b);
}
void put(QByteArray& m, const QiPuItem& item) {
    for (std::uint8_t b : {item.bteFromPos, item.bteQiZi, item.bteToPos, item.bteEatQiZi})
        put(m, b);
}
void putTally(QByteArray& m, const std::array<int, 2>& tally) {
    for (int w : tally) {
        for (std::uint8_t b : tallyBytes(w))
            put(m, b);
    }
}
void putLong(QByteArray& m, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);  // two's complement, as on the wire
    for (int shift = 24; shift >= 0; shift -= 8)
        put(m, static_cast<std::uint8_t>((v >> shift) & 0xFF));
}

// Reading: every access is checked against the frame's size.
class Reader {
public:
    explicit Reader(const QByteArray& frame) : m_(frame) {}
    qsizetype size() const { return m_.size(); }
    bool has(qsizetype i) const { return i >= 0 && i < m_.size(); }
    std::uint8_t at(qsizetype i) const { return has(i) ? static_cast<std::uint8_t>(m_[i]) : 0; }
    // The text from byte `from` to the end; empty past the end or when it is not whole.
    QString text(qsizetype from) const {
        QString t;
        if (!has(from) || !decodeCp936(QByteArrayView(m_).sliced(from), t)) return {};
        return t;
    }
    Triple triple(qsizetype i) const { return {at(i), at(i + 1), at(i + 2)}; }
    int tally(qsizetype i) const { return at(i) * 255 + at(i + 1); }
    std::int32_t long32(qsizetype i) const {
        std::uint32_t v = 0;
        for (int k = 0; k < 4; ++k)
            v = (v << 8) | at(i + k);
        return static_cast<std::int32_t>(v);
    }
    QiPuItem item(qsizetype i) const { return {at(i), at(i + 1), at(i + 2), at(i + 3)}; }

private:
    const QByteArray& m_;
};

bool onBoard(std::uint8_t packed) {
    return OnBoard(packedRank(packed), packedFile(packed));
}

// How many of a snapshot's fields arrived, given the index of each field's last byte.
template <std::size_t N>
int arrivedFields(const Reader& r, const std::array<qsizetype, N>& lastBytes) {
    int n = 0;
    while (n < static_cast<int>(N) && r.has(lastBytes[static_cast<std::size_t>(n)]))
        ++n;
    return n;
}

ParsedEvent snapshot(const Reader& r) {
    if (r.at(2) == 0) {
        static constexpr std::array<qsizetype, WaitingSnapshot::kFields> kLast = {
            4, 5, 7, 9, 10, 11, 12, 13, 14, 15, 16, 17};
        WaitingSnapshot s;
        s.arrived = arrivedFields(r, kLast);
        s.handsUp = {r.at(4) > 0, r.at(5) > 0};
        s.tally = {r.tally(6), r.tally(8)};
        s.bankLimit = r.triple(10);
        s.stepTime = r.triple(13);
        s.redSeat = r.at(16);
        s.gameState = r.at(17);
        return Event{s};
    }
    static constexpr std::array<qsizetype, RunningSnapshot::kFields> kLast = {
        4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 16, 17, 18, 19, 20, 21};
    RunningSnapshot s;
    s.arrived = arrivedFields(r, kLast);
    s.redSeat = r.at(4);
    s.gameState = r.at(5);
    s.bankLimit = r.triple(6);
    s.stepTime = r.triple(9);
    s.tally = {r.tally(12), r.tally(14)};
    s.banksUsed = {r.triple(16), r.triple(19)};
    qsizetype at = kSnapshotMoves;
    for (; at + kMoveBytes <= r.size(); at += kMoveBytes)
        s.moves.push_back(r.item(at));
    if (at < r.size()) s.cutMove = r.item(at);
    return Event{s};
}

Refusal refuse(const Reader& r, const char* why) {
    Refusal f;
    f.code = r.at(0);
    f.reason = why;
    if (r.has(1)) f.sub = r.at(1);
    return f;
}

ParsedEvent userMessage(const Reader& r) {
    if (!r.has(1)) return refuse(r, "user message without a sub-code");
    const QString text = r.text(2);
    switch (r.at(1)) {
        case 0:
            return Event{SpectatorArrival{text}};
        case 1:
            return Event{TableReset{}};
        case 2:
            return Event{UserList{text.isEmpty() ? QStringList() : text.split(u'\n')}};
        case 3: {
            const QStringList f = text.split(u'`');
            if (f.size() != 2) return refuse(r, "identity without two fields");
            return Event{Identity{f[0], f[1]}};
        }
        case 4:
            return Event{Arrival{text}};
        case kWindow:
            if (!r.has(2)) return refuse(r, "window flag missing");
            return Event{WindowHidden{r.at(2) != 0}};
        default:
            return refuse(r, "unknown user message");
    }
}

ParsedEvent presenceMessage(const Reader& r) {
    if (!r.has(1)) return refuse(r, "presence without a sub-code");
    const QString text = r.text(2);
    switch (r.at(1)) {
        case presence::kBack:
            return Event{BackOnline{text}};
        case presence::kOffline:
            return Event{WentOffline{text}};
        case presence::kSpectatorLeft:
            return Event{SpectatorLeft{text}};
        case presence::kRow:
            return Event{RowChanged{text}};
        default:
            return refuse(r, "unknown presence message");
    }
}

ParsedEvent handUpMessage(const Reader& r) {
    if (!r.has(1)) return refuse(r, "hand without a count");
    const QString text = r.text(2);
    if (text.isEmpty()) return refuse(r, "hand without a name");
    HandsUp h;
    h.raised = r.at(1);
    const qsizetype cut = text.indexOf(u'`');
    h.name = text.left(cut);
    if (cut >= 0) h.terms = text.mid(cut + 1);
    return Event{h};
}

ParsedEvent loadMessage(const Reader& r) {
    if (!r.has(2)) return refuse(r, "load message too short");
    if (r.at(1) != code::kRecordData) {
        return Event{Negotiation{code::kLoad, r.at(1), r.at(2), r.size() > 3}};
    }
    RecordMoves rec;
    for (qsizetype at = 2; at + kMoveBytes <= r.size(); at += kMoveBytes)
        rec.moves.push_back(r.item(at));
    return Event{rec};
}

}  // namespace

TableSettings waitingForPlayers() {
    return {QStringList{QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0"),
                        QStringLiteral("0"), QStringLiteral("0")}};
}

TableSettings settingsStage(int seat, bool ownerConfirmed, const QString& terms) {
    const QString head = QStringLiteral("1`%1`0`%2`0`1`%3`")
                             .arg(seat)
                             .arg(seat == 0 ? 1 : 0)
                             .arg(ownerConfirmed ? 1 : 0);
    return {(head + terms).split(u'`')};
}

ParsedEvent parseEvent(const QByteArray& frame) {
    const Reader r(frame);
    if (!r.has(0)) return refuse(r, "empty frame");
    switch (r.at(0)) {
        case code::kUser:
            return userMessage(r);
        case code::kPresence:
            return presenceMessage(r);
        case code::kLeave:
            if (!r.has(1) || r.at(1) != 0) return refuse(r, "unknown leave message");
            return Event{LeftTable{r.text(2)}};
        case code::kTableSettings:
            if (!r.has(1)) return refuse(r, "table stage without a sub-code");
            return Event{TableSettings{r.text(2).split(u'`')}};
        case code::kHandUp:
            return handUpMessage(r);
        case code::kRoomChat:
            return Event{RoomChat{r.text(3)}};
        case code::kSnapshot:
            if (!r.has(2)) return refuse(r, "snapshot too short");
            return snapshot(r);
        case code::kChat: {
            const QStringList f = r.text(1).split(u'`');
            if (f.size() < 10) return refuse(r, "chat line with fewer than ten fields");
            return Event{ChatRelay{f}};
        }
        case code::kCannotContinue:
            if (!r.has(2)) return refuse(r, "cannot-continue too short");
            if (r.at(2) > 1) return refuse(r, "cannot-continue from no seat");
            return Event{CannotContinue{r.at(2), r.text(3)}};
        case code::kGameStart:
            if (r.size() != kStartLength) return refuse(r, "game start of the wrong length");
            return Event{GameStart{r.at(11), r.at(12), r.triple(13), r.triple(16)}};
        case code::kRaiseHand:
            if (r.size() != 2) return refuse(r, "ready message of the wrong length");
            if (r.at(1) > 1) return refuse(r, "ready message from no seat");
            return Event{Ready{r.at(1)}};
        case code::kMove: {
            if (r.size() != kEchoLength) return refuse(r, "move echo of the wrong length");
            if (r.at(2) > 1) return refuse(r, "move echo from no seat");
            if (!onBoard(r.at(3)) || !onBoard(r.at(5))) return refuse(r, "move off the board");
            return Event{MoveEcho{r.at(2), r.at(3), r.at(4), r.at(5), r.at(6), r.triple(7)}};
        }
        case code::kUndo:
        case code::kDraw:
            if (!r.has(2)) return refuse(r, "request too short");
            return Event{Negotiation{r.at(0), r.at(1), r.at(2), r.size() > 3}};
        case code::kLoad:
            return loadMessage(r);
        case code::kNotice:
            return Event{Notice{r.text(1)}};
        case code::kGameEnd:
            if (r.size() < kGameEndHeader) return refuse(r, "game end too short");
            return Event{GameEnd{r.long32(1), r.long32(5), r.at(9), r.text(10)}};
        default:
            return refuse(r, "not a message the table sends");
    }
}

namespace {

struct CodeOf {
    std::uint8_t operator()(const SpectatorArrival&) const { return code::kUser; }
    std::uint8_t operator()(const TableReset&) const { return code::kUser; }
    std::uint8_t operator()(const UserList&) const { return code::kUser; }
    std::uint8_t operator()(const Identity&) const { return code::kUser; }
    std::uint8_t operator()(const Arrival&) const { return code::kUser; }
    std::uint8_t operator()(const WindowHidden&) const { return code::kUser; }
    std::uint8_t operator()(const BackOnline&) const { return code::kPresence; }
    std::uint8_t operator()(const WentOffline&) const { return code::kPresence; }
    std::uint8_t operator()(const SpectatorLeft&) const { return code::kPresence; }
    std::uint8_t operator()(const RowChanged&) const { return code::kPresence; }
    std::uint8_t operator()(const LeftTable&) const { return code::kLeave; }
    std::uint8_t operator()(const TableSettings&) const { return code::kTableSettings; }
    std::uint8_t operator()(const HandsUp&) const { return code::kHandUp; }
    std::uint8_t operator()(const RoomChat&) const { return code::kRoomChat; }
    std::uint8_t operator()(const WaitingSnapshot&) const { return code::kSnapshot; }
    std::uint8_t operator()(const RunningSnapshot&) const { return code::kSnapshot; }
    std::uint8_t operator()(const ChatRelay&) const { return code::kChat; }
    std::uint8_t operator()(const CannotContinue&) const { return code::kCannotContinue; }
    std::uint8_t operator()(const GameStart&) const { return code::kGameStart; }
    std::uint8_t operator()(const Ready&) const { return code::kRaiseHand; }
    std::uint8_t operator()(const MoveEcho&) const { return code::kMove; }
    std::uint8_t operator()(const Negotiation& m) const { return m.code; }
    std::uint8_t operator()(const RecordMoves&) const { return code::kLoad; }
    std::uint8_t operator()(const Notice&) const { return code::kNotice; }
    std::uint8_t operator()(const GameEnd&) const { return code::kGameEnd; }
};

}  // namespace

std::uint8_t codeOf(const Event& event) {
    return std::visit(CodeOf{}, event);
}

std::uint8_t codeOf(const ParsedEvent& parsed) {
    if (const auto* f = std::get_if<Refusal>(&parsed)) return f->code;
    return codeOf(std::get<Event>(parsed));
}

QByteArray encode(const SpectatorArrival& m) {
    return withText({code::kUser, 0}, m.row);
}
QByteArray encode(const TableReset&) {
    return bytes({code::kUser, 1});
}
QByteArray encode(const UserList& m) {
    return withText({code::kUser, 2}, m.rows.join(u'\n'));
}
QByteArray encode(const Identity& m) {
    return withText({code::kUser, 3}, m.name + u'`' + m.watched);
}
QByteArray encode(const Arrival& m) {
    return withText({code::kUser, 4}, m.row);
}
QByteArray encode(const WindowHidden& m) {
    return bytes({code::kUser, kWindow, static_cast<std::uint8_t>(m.hidden ? 1 : 0)});
}
QByteArray encode(const BackOnline& m) {
    return withText({code::kPresence, presence::kBack}, m.name);
}
QByteArray encode(const WentOffline& m) {
    return withText({code::kPresence, presence::kOffline}, m.name);
}
QByteArray encode(const SpectatorLeft& m) {
    return withText({code::kPresence, presence::kSpectatorLeft}, m.name);
}
QByteArray encode(const RowChanged& m) {
    return withText({code::kPresence, presence::kRow}, m.row);
}
QByteArray encode(const LeftTable& m) {
    return withText({code::kLeave, 0}, m.name);
}
QByteArray encode(const TableSettings& m) {
    return withText({code::kTableSettings, 0}, m.fields.join(u'`'));
}
QByteArray encode(const HandsUp& m) {
    return withText({code::kHandUp, m.raised}, m.terms ? m.name + u'`' + *m.terms : m.name);
}
QByteArray encode(const RoomChat& m) {
    return withText({code::kRoomChat, 0, 0}, m.text);
}

QByteArray encode(const WaitingSnapshot& s) {
    QByteArray m = bytes({code::kSnapshot, 0, 0, 0});
    m.reserve(18);
    put(m, s.handsUp[0] ? 1 : 0);
    put(m, s.handsUp[1] ? 1 : 0);
    putTally(m, s.tally);
    put(m, s.bankLimit);
    put(m, s.stepTime);
    put(m, s.redSeat);
    put(m, s.gameState);
    return m;
}

QByteArray encode(const RunningSnapshot& s) {
    QByteArray m = bytes({code::kSnapshot, 0, 1, 0});
    m.reserve(kSnapshotMoves + kMoveBytes * static_cast<qsizetype>(s.moves.size()));
    put(m, s.redSeat);
    put(m, s.gameState);
    put(m, s.bankLimit);
    put(m, s.stepTime);
    putTally(m, s.tally);
    put(m, s.banksUsed[0]);
    put(m, s.banksUsed[1]);
    for (const QiPuItem& item : s.moves)
        put(m, item);
    return m;
}

QByteArray encode(const ChatRelay& m) {
    return withText({code::kChat}, m.fields.join(u'`'));
}
QByteArray encode(const CannotContinue& m) {
    return withText({code::kCannotContinue, 0, m.seat}, m.reason);
}

QByteArray encode(const GameStart& g) {
    QByteArray m(11, '\0');
    m[0] = static_cast<char>(code::kGameStart);
    put(m, g.redSeat);
    put(m, g.firstToMove);
    put(m, g.bankLimit);
    put(m, g.stepTime);
    return m;
}

QByteArray encode(const Ready& m) {
    return bytes({code::kRaiseHand, m.seat});
}
QByteArray encode(const MoveEcho& m) {
    return bytes({code::kMove, 0, m.seat, m.from, m.piece, m.to, m.eaten, m.bankUsed[0],
                  m.bankUsed[1], m.bankUsed[2]});
}
QByteArray encode(const Negotiation& m) {
    return bytes({m.code, m.step, m.seat});
}

QByteArray encode(const RecordMoves& r) {
    QByteArray m = bytes({code::kLoad, code::kRecordData});
    m.reserve(2 + kMoveBytes * static_cast<qsizetype>(r.moves.size()));
    for (const QiPuItem& item : r.moves)
        put(m, item);
    return m;
}

QByteArray encode(const Notice& m) {
    return withText({code::kNotice}, m.text);
}

QByteArray encode(const GameEnd& g) {
    QByteArray m = bytes({code::kGameEnd});
    putLong(m, g.score0);
    putLong(m, g.score1);
    put(m, g.result);
    return m + encodeCp936(g.reason);
}

QByteArray encode(const Event& event) {
    return std::visit([](const auto& m) { return encode(m); }, event);
}

QByteArray encodeUserList(const QStringList& rows, const QByteArray& moreRows) {
    QByteArray list = encode(UserList{rows});
    if (moreRows.isEmpty()) return list;
    list.reserve(list.size() + 1 + moreRows.size());
    if (!rows.isEmpty()) list.append('\n');
    list.append(moreRows);
    return list;
}

QByteArray encodeSpectatorArrival(const QByteArray& row) {
    return bytes({code::kUser, 0}) + row;
}

std::array<std::uint8_t, 2> tallyBytes(int wins) {
    wins = std::clamp(wins, 0, 255 * 255 + 254);
    return {static_cast<std::uint8_t>(wins / 255), static_cast<std::uint8_t>(wins % 255)};
}

std::vector<QiPuItem> movesOf(const QiPuHistory& history) {
    if (history.size() <= 1) return {};
    return {history.begin() + 1, history.end()};
}

}  // namespace xq::tablemsg

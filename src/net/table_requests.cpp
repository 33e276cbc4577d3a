#include "net/table_requests.h"

#include "net/codec.h"
#include "net/cp936.h"
#include "net/message_codes.h"

namespace xq::tablemsg {
namespace {

const QByteArray& loginPrefix() {
    static const QByteArray prefix = QByteArray("\x82\x00", 2) + "500`DRAK`";
    return prefix;
}

QByteArray requestBytes(std::initializer_list<std::uint8_t> head) {
    QByteArray m;
    for (std::uint8_t b : head)
        m.append(static_cast<char>(b));
    return m;
}

// Header bytes and the text; nothing at all for an empty text.
QByteArray textRequest(std::initializer_list<std::uint8_t> head, const QString& text) {
    if (text.isEmpty()) return {};
    return requestBytes(head) + encodeCp936(text);
}

std::uint8_t at(const QByteArray& m, qsizetype i) {
    return static_cast<std::uint8_t>(m[i]);
}

std::int32_t longAt(const QByteArray& m, qsizetype i) {
    std::int32_t v = 0;
    GetLongFromCmd(v, m, static_cast<long>(i));
    return v;
}

// The text from byte `start` on; nothing when it is not whole code page 936.
std::optional<QString> textFrom(const QByteArray& m, qsizetype start) {
    QString text;
    if (start > m.size() || !decodeCp936(QByteArrayView(m).sliced(start), text))
        return std::nullopt;
    return text;
}

bool isSeat(std::uint8_t b) {
    return b == 0 || b == 1;
}

Refusal refuse(const QByteArray& m, const char* why) {
    Refusal r;
    r.code = m.isEmpty() ? 0 : at(m, 0);
    if (m.size() > 1) r.sub = at(m, 1);
    r.reason = why;
    return r;
}

ParsedRequest parseUser(const QByteArray& m) {
    if (m.size() == 2 && at(m, 1) == 1) return Request{TableBegun{}};
    if (m.size() > 1 && at(m, 1) == 0) {
        if (m.size() != static_cast<qsizetype>(kLoginBytes) || !m.startsWith(loginPrefix()))
            return refuse(m, "malformed login");
        const char d = m.back();
        if (d != '0' && d != '1') return refuse(m, "login permission is not 0 or 1");
        return Request{Login{d == '1'}};
    }
    return refuse(m, "unknown message");
}

ParsedRequest parseNamed(const QByteArray& m) {
    if (m.size() < 3) return refuse(m, "no name");
    const auto text = textFrom(m, 2);
    if (!text) return refuse(m, "name is not code page 936");
    const std::uint8_t c = at(m, 0), sub = at(m, 1);
    if (c == code::kLeave && sub == 0) return Request{Leave{*text}};
    if (c == code::kHandUp && sub == 1) return Request{HandUp{*text}};
    if (c == code::kHandUp && sub == 0) {
        const qsizetype cut = text->indexOf(u'`');
        if (cut < 0) return refuse(m, "owner settings without a name");
        return Request{OwnerSettings{text->left(cut), text->mid(cut + 1)}};
    }
    return refuse(m, "unknown message");
}

ParsedRequest parseChat(const QByteArray& m) {
    if (m.size() > kMaxChatBytes) return refuse(m, "chat line too long");
    const auto text = textFrom(m, 1);
    if (!text) return refuse(m, "chat line is not code page 936");
    const QStringList fields = text->split(u'`');
    if (fields.size() != 10) return refuse(m, "chat needs ten fields");
    return Request{Chat{fields}};
}

ParsedRequest parseChunk(const QByteArray& m) {
    if (m.size() < 3) return refuse(m, "record chunk without a seat");
    const std::uint8_t seat = at(m, 2);
    if (!isSeat(seat)) return refuse(m, "bad seat");
    Refusal broken = refuse(m, "");
    broken.seat = seat;
    if (m.size() < kRecordChunkHeader) {
        broken.reason = "record chunk header too short";
        return broken;
    }
    const std::int32_t total = longAt(m, 3);
    if (total == 0) return Request{LoadAbandoned{seat}};
    const qsizetype body = m.size() - kRecordChunkHeader;
    if (body < 4 || body % 4 != 0 || body / 4 > kRecordChunkMoves) {
        broken.reason = "record chunk body is not 1 to 50 moves";
        return broken;
    }
    RecordChunk chunk{seat, total, longAt(m, 7), {}};
    for (qsizetype i = kRecordChunkHeader; i + 3 < m.size(); i += 4)
        chunk.moves.push_back(QiPuItem{at(m, i), at(m, i + 1), at(m, i + 2), at(m, i + 3)});
    return Request{chunk};
}

// Undo, draw and load: three bytes, or a record chunk for the load.
ParsedRequest parseTopic(const QByteArray& m) {
    const std::uint8_t c = at(m, 0);
    if (c == code::kLoad && m.size() > 1 && at(m, 1) == code::kRecordData) return parseChunk(m);
    if (m.size() != 3) return refuse(m, "request must be 3 bytes");
    const std::uint8_t sub = at(m, 1), seat = at(m, 2);
    if (!isSeat(seat)) return refuse(m, "bad seat");
    const auto topic = static_cast<Topic>(c);
    if (sub == code::kAsk) return Request{Ask{topic, seat}};
    if (sub == code::kAgree || sub == code::kRefuse)
        return Request{Answer{topic, sub == code::kAgree, seat}};
    return refuse(m, "unknown request");
}

}  // namespace

ParsedRequest parseRequest(const QByteArray& m) {
    if (m.isEmpty()) return refuse(m, "empty");
    switch (at(m, 0)) {
        case code::kUser:
            return parseUser(m);
        case code::kLeave:
        case code::kHandUp:
            return parseNamed(m);
        case code::kChat:
            return parseChat(m);
        case code::kRaiseHand:
            if (m.size() != 2) return refuse(m, "raised hand must be 2 bytes");
            if (!isSeat(at(m, 1))) return refuse(m, "bad seat");
            return Request{RaiseHand{at(m, 1)}};
        case code::kMove:
            // Byte 1 is not read: the server has never held it against a move.
            if (m.size() != 10) return refuse(m, "move must be 10 bytes");
            if (!isSeat(at(m, 2))) return refuse(m, "bad seat");
            return Request{Move{
                at(m, 2), at(m, 3), at(m, 4), at(m, 5), at(m, 6), {at(m, 7), at(m, 8), at(m, 9)}}};
        case code::kUndo:
        case code::kDraw:
        case code::kLoad:
            return parseTopic(m);
        case code::kResign:
            if (m.size() != 3) return refuse(m, "resignation must be 3 bytes");
            if (at(m, 1) > 1) return refuse(m, "unknown resignation");
            if (!isSeat(at(m, 2))) return refuse(m, "bad seat");
            return Request{Resign{at(m, 2), at(m, 1) == 1}};
        default:
            return refuse(m, "unknown message");
    }
}

QByteArray encode(const Login& m) {
    return loginPrefix() + (m.allowWatch ? '1' : '0');
}

QByteArray encode(const TableBegun&) {
    return requestBytes({code::kUser, 1});
}

QByteArray encode(const HandUp& m) {
    return textRequest({code::kHandUp, 1}, m.name);
}

QByteArray encode(const OwnerSettings& m) {
    return textRequest({code::kHandUp, 0}, m.name + u'`' + m.settings);
}

QByteArray encode(const Leave& m) {
    return textRequest({code::kLeave, 0}, m.name);
}

QByteArray encode(const Chat& m) {
    return textRequest({code::kChat}, m.fields.join(u'`'));
}

QByteArray encode(const RaiseHand& m) {
    return requestBytes({code::kRaiseHand, m.seat});
}

QByteArray encode(const Move& m) {
    return requestBytes({code::kMove, 0, m.seat, m.from, m.piece, m.to, m.eaten, m.bankUsed[0],
                         m.bankUsed[1], m.bankUsed[2]});
}

QByteArray encode(const Ask& m) {
    return requestBytes({static_cast<std::uint8_t>(m.topic), code::kAsk, m.seat});
}

QByteArray encode(const Answer& m) {
    return requestBytes(
        {static_cast<std::uint8_t>(m.topic), m.agree ? code::kAgree : code::kRefuse, m.seat});
}

QByteArray encode(const Resign& m) {
    return requestBytes({code::kResign, static_cast<std::uint8_t>(m.timeOut ? 1 : 0), m.seat});
}

QByteArray encode(const RecordChunk& m) {
    QByteArray chunk(kRecordChunkHeader, '\0');
    chunk[0] = static_cast<char>(code::kLoad);
    chunk[1] = static_cast<char>(code::kRecordData);
    chunk[2] = static_cast<char>(m.seat);
    PutLongToCmd(m.total, chunk, 3);
    PutLongToCmd(m.before, chunk, 7);
    chunk.reserve(kRecordChunkHeader + 4 * static_cast<qsizetype>(m.moves.size()));
    for (const QiPuItem& item : m.moves) {
        chunk.append(static_cast<char>(item.bteFromPos));
        chunk.append(static_cast<char>(item.bteQiZi));
        chunk.append(static_cast<char>(item.bteToPos));
        chunk.append(static_cast<char>(item.bteEatQiZi));
    }
    return chunk;
}

QByteArray encode(const LoadAbandoned& m) {
    QByteArray cmd(kRecordChunkHeader + 1, '\0');
    cmd[0] = static_cast<char>(code::kLoad);
    cmd[1] = static_cast<char>(code::kRecordData);
    cmd[2] = static_cast<char>(m.seat);
    return cmd;
}

QByteArray encode(const Request& m) {
    return std::visit([](const auto& r) { return encode(r); }, m);
}

std::vector<RecordChunk> recordChunks(std::uint8_t seat, const QiPuHistory& history) {
    std::vector<RecordChunk> chunks;
    const long n = qiPuUpperBound(history);
    for (long k = 1; k <= n;) {
        RecordChunk chunk{seat, static_cast<std::int32_t>(n), static_cast<std::int32_t>(k - 1), {}};
        for (int inChunk = 0; k <= n && inChunk < kRecordChunkMoves; ++inChunk, ++k)
            chunk.moves.push_back(history[static_cast<std::size_t>(k)]);
        chunks.push_back(std::move(chunk));
    }
    return chunks;
}

FrameHead frameHead(const QByteArray& frame) {
    FrameHead head;
    if (!frame.isEmpty()) head.code = at(frame, 0);
    if (frame.size() > 1) head.sub = at(frame, 1);
    return head;
}

}  // namespace xq::tablemsg

#include "net/messages.h"

#include "net/message_codes.h"

namespace xq::msg {
namespace {

Cmd Bytes(std::initializer_list<std::uint8_t> bytes) {
    Cmd cmd;
    for (std::uint8_t b : bytes)
        cmd.append(static_cast<char>(b));
    return cmd;
}

Cmd WithText(std::uint8_t c, std::uint8_t sub, const QString& text) {
    Cmd cmd;
    StringToCmd(text, cmd, 2, Bytes({c, sub}));
    return cmd;
}

}  // namespace

Cmd Login(std::uint8_t allowLookOnSee) {
    return WithText(code::kUser, 0, QStringLiteral("500`DRAK`") + QString::number(allowLookOnSee));
}

Cmd TableBegun() {
    return Bytes({code::kUser, 1});
}

Cmd HandUp(const QString& myName) {
    return WithText(code::kHandUp, 1, myName);
}

Cmd OwnerSettings(const QString& myName, const QString& settings) {
    return WithText(code::kHandUp, 0, myName + u'`' + settings);
}

Cmd LeaveTable(const QString& myName) {
    return WithText(code::kLeave, 0, myName);
}

Cmd Chat(const QStringList& tenFields) {
    Cmd cmd;
    StringToCmd(tenFields.join(u'`'), cmd, 1, Bytes({code::kChat}));
    return cmd;
}

Cmd RaiseHand(std::uint8_t mySeat) {
    return Bytes({code::kRaiseHand, mySeat});
}

Cmd Move(std::uint8_t mySeat, std::uint8_t from, std::uint8_t piece, std::uint8_t to,
         std::uint8_t eaten, const std::array<std::uint8_t, 3>& totalUsed) {
    return Bytes(
        {code::kMove, 0, mySeat, from, piece, to, eaten, totalUsed[0], totalUsed[1], totalUsed[2]});
}

Cmd Request(std::uint8_t c, std::uint8_t subCode, std::uint8_t mySeat) {
    return Bytes({c, subCode, mySeat});
}

Cmd Answer(std::uint8_t c, bool agree, std::uint8_t mySeat) {
    return Request(c, agree ? code::kAgree : code::kRefuse, mySeat);
}

Cmd DrawOffer(std::uint8_t mySeat) {
    return Request(code::kDraw, code::kAsk, mySeat);
}
Cmd Resign(std::uint8_t mySeat) {
    return Request(code::kResign, 0, mySeat);
}
Cmd TimeOut(std::uint8_t mySeat) {
    return Request(code::kResign, 1, mySeat);
}
Cmd UndoRequest(std::uint8_t mySeat) {
    return Request(code::kUndo, code::kAsk, mySeat);
}
Cmd LoadRequest(std::uint8_t mySeat) {
    return Request(code::kLoad, code::kAsk, mySeat);
}

std::vector<Cmd> RecordChunks(std::uint8_t mySeat, const QiPuHistory& history) {
    std::vector<Cmd> chunks;
    const long n = QiPuUpperBound(history);
    for (long k = 1; k <= n;) {
        Cmd chunk(kChunkHeader, '\0');
        chunk[0] = static_cast<char>(code::kLoad);
        chunk[1] = static_cast<char>(code::kRecordData);
        chunk[2] = static_cast<char>(mySeat);
        PutLongToCmd(static_cast<std::int32_t>(n), chunk, 3);
        PutLongToCmd(static_cast<std::int32_t>(k - 1), chunk, 7);
        for (int inChunk = 0; k <= n && inChunk < kChunkMoves; ++inChunk, ++k) {
            const QiPuItem& item = history[static_cast<std::size_t>(k)];
            chunk.append(static_cast<char>(item.bteFromPos));
            chunk.append(static_cast<char>(item.bteQiZi));
            chunk.append(static_cast<char>(item.bteToPos));
            chunk.append(static_cast<char>(item.bteEatQiZi));
        }
        chunks.push_back(chunk);
    }
    return chunks;
}

Cmd LoadAbandoned(std::uint8_t mySeat) {
    Cmd cmd(kChunkHeader + 1, '\0');
    cmd[0] = static_cast<char>(code::kLoad);
    cmd[1] = static_cast<char>(code::kRecordData);
    cmd[2] = static_cast<char>(mySeat);
    return cmd;
}

}  // namespace xq::msg

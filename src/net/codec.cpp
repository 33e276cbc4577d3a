#include "net/codec.h"

#include "net/cp936.h"

namespace xq {

bool StringToCmd(const QString& text, Cmd& cmd, std::uint8_t headLen, const QByteArray& head) {
    if (text.isEmpty()) return false;
    Cmd built(headLen, '\0');
    for (int i = 0; i < headLen && i < head.size(); ++i)
        built[i] = head[i];
    built.append(encodeCp936(text));
    cmd = built;
    return true;
}

QString CmdToString(const Cmd& cmd, int start) {
    if (start < 0 || start >= cmd.size()) return {};
    QString text;
    if (!decodeCp936(QByteArrayView(cmd).sliced(start), text)) return {};
    return text;
}

bool PutLongToCmd(std::int32_t value, Cmd& cmd, long pos) {
    if (pos < 0 || upperBound(cmd) < pos + 3) return false;
    const auto v = static_cast<std::uint32_t>(value);  // two's complement, as on the wire
    for (int i = 0; i < 4; ++i)
        cmd[static_cast<qsizetype>(pos + i)] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
    return true;
}

bool GetLongFromCmd(std::int32_t& value, const Cmd& cmd, long pos) {
    if (pos < 0 || upperBound(cmd) < pos + 3) return false;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | byteAt(cmd, pos + i);
    value = static_cast<std::int32_t>(v);
    return true;
}

}  // namespace xq

#include "server/outgoing.h"

#include "net/cp936.h"

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

}  // namespace xq::server::out

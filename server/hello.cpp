#include "server/hello.h"

#include "net/cp936.h"
#include "net/frame.h"

namespace xq::server {

std::optional<QString> parseHello(const QByteArray& frame) {
    const QByteArrayView prefix(kHelloPrefix);
    if (!frame.startsWith(prefix)) return std::nullopt;
    QString name;
    if (!DecodeCp936(QByteArrayView(frame).sliced(prefix.size()), name)) return std::nullopt;
    if (name.isEmpty() || name.size() > kMaxNameLength) return std::nullopt;
    if (name.front().isSpace() || name.back().isSpace()) return std::nullopt;
    for (QChar c : name) {
        if (c == u'`' || c.category() == QChar::Other_Control) return std::nullopt;
    }
    return name;
}

std::optional<bool> parseLogin(const QByteArray& frame) {
    static const QByteArray kLogin = QByteArray("\x82\x00", 2) + "500`DRAK`";
    if (frame.size() != kLogin.size() + 1 || !frame.startsWith(kLogin)) return std::nullopt;
    const char d = frame.back();
    if (d != '0' && d != '1') return std::nullopt;
    return d == '1';
}

}  // namespace xq::server

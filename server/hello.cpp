#include "server/hello.h"

#include <QStringList>

#include "net/cp936.h"
#include "net/frame.h"
#include "net/hall_messages.h"
#include "net/table_requests.h"

namespace xq::server {

bool isValidName(const QString& name) {
    if (name.isEmpty() || name.size() > kMaxNameLength) return false;
    if (name.front().isSpace() || name.back().isSpace()) return false;
    for (QChar c : name) {
        if (c == u'`' || c.category() == QChar::Other_Control) return false;
    }
    return true;
}

namespace {

bool isValidTicket(const QString& ticket) {
    if (ticket.size() > kMaxTicketLength) return false;
    for (QChar c : ticket) {
        if (c.unicode() < 0x21 || c.unicode() > 0x7E) return false;
    }
    return true;
}

std::optional<Hello> parseHelloAfter(const QByteArray& frame, QByteArrayView prefix) {
    if (!frame.startsWith(prefix)) return std::nullopt;
    // Decoded before it is split: the second byte of a two-byte character may be a "`".
    QString text;
    if (!decodeCp936(QByteArrayView(frame).sliced(prefix.size()), text)) return std::nullopt;
    const QStringList fields = text.split(u'`');
    if (fields.size() > 2 || !isValidName(fields[0])) return std::nullopt;
    Hello hello{fields[0], QString()};
    if (fields.size() == 2 && fields[1] != u"-") {
        if (!isValidTicket(fields[1])) return std::nullopt;
        hello.ticket = fields[1];
    }
    return hello;
}

}  // namespace

std::optional<Hello> parseHello(const QByteArray& frame) {
    return parseHelloAfter(frame, kHelloPrefix);
}

std::optional<Hello> parseHallHello(const QByteArray& frame) {
    return parseHelloAfter(frame, hall::kHelloPrefix);
}

std::optional<AccountHello> parseAccountHello(const QByteArray& frame) {
    AccountHello hello;
    QByteArrayView rest;
    if (frame.startsWith(hall::kRegisterHelloPrefix)) {
        hello.registering = true;
        rest = QByteArrayView(frame).sliced(qstrlen(hall::kRegisterHelloPrefix));
    } else if (frame.startsWith(hall::kAccountHelloPrefix)) {
        rest = QByteArrayView(frame).sliced(qstrlen(hall::kAccountHelloPrefix));
    } else {
        return std::nullopt;
    }
    QString text;
    if (!decodeCp936(rest, text)) return std::nullopt;
    const qsizetype cut = text.indexOf(u'`');
    if (cut < 0) return std::nullopt;
    hello.name = text.left(cut);
    hello.password = text.mid(cut + 1);
    return hello;
}

std::optional<bool> parseLogin(const QByteArray& frame) {
    const tablemsg::ParsedRequest parsed = tablemsg::parseRequest(frame);
    const auto* request = std::get_if<tablemsg::Request>(&parsed);
    const auto* login = request ? std::get_if<tablemsg::Login>(request) : nullptr;
    if (!login) return std::nullopt;
    return login->allowWatch;
}

}  // namespace xq::server

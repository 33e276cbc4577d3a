#include "server/grant_ticket.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <array>

namespace xq::server {

QString newGrantTicket() {
    std::array<quint32, 4> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    const QByteArray bytes(reinterpret_cast<const char*>(words.data()),
                           static_cast<qsizetype>(sizeof(words)));
    return QString::fromLatin1(bytes.toHex());
}

}  // namespace xq::server

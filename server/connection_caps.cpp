#include "server/connection_caps.h"

#include <algorithm>

namespace xq::server {
namespace {

// The same host whether it came over IPv4 or as an IPv4-mapped IPv6 address.
QHostAddress canonical(const QHostAddress& a) {
    bool isV4 = false;
    const quint32 v4 = a.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4) : a;
}

}  // namespace

QString addressKey(const QHostAddress& address) {
    const QHostAddress host = canonical(address);
    if (host.protocol() != QAbstractSocket::IPv6Protocol) return host.toString();
    Q_IPV6ADDR bytes = host.toIPv6Address();
    std::fill(bytes.c + 8, bytes.c + 16, quint8{0});
    return QHostAddress(bytes).toString() + QStringLiteral("/64");
}

ConnectionCaps::ConnectionCaps(Limits limits) : limits_(limits) {
    limits_.maxTotal = std::max(limits_.maxTotal, 1);
    limits_.maxPerAddress = std::max(limits_.maxPerAddress, 1);
    limits_.maxPendingPerAddress = std::max(limits_.maxPendingPerAddress, 1);
    if (limits_.maxPending <= 0) limits_.maxPending = limits_.maxTotal / 4;
    limits_.maxPending = std::clamp(limits_.maxPending, 1, limits_.maxTotal);
}

ConnectionCaps::Admission ConnectionCaps::admit(ConnId id, const QHostAddress& from) {
    Admission admission;
    if (conns_.count(id)) return admission;
    const QHostAddress host = canonical(from);
    const QString key = host.isLoopback() && !limits_.countLoopback ? QString() : addressKey(host);
    const auto here = perKey_.constFind(key);
    const bool addressFull =
        !key.isEmpty() && here != perKey_.constEnd() && here->all >= limits_.maxPerAddress;
    // Refused only when nothing that has not logged in could make room.
    if (addressFull && here->pending.empty()) return admission;
    if (total() >= limits_.maxTotal && pending_.empty()) return admission;

    if (!key.isEmpty() && here != perKey_.constEnd()) {
        if (addressFull || static_cast<int>(here->pending.size()) >= limits_.maxPendingPerAddress)
            evict(*here->pending.begin(), admission);
    }
    if (total() >= limits_.maxTotal || pending() >= limits_.maxPending)
        evict(*pending_.begin(), admission);

    conns_.emplace(id, Conn{key, true});
    pending_.insert(id);
    if (!key.isEmpty()) {
        PerKey& k = perKey_[key];
        ++k.all;
        k.pending.insert(id);
    }
    admission.admitted = true;
    return admission;
}

void ConnectionCaps::evict(ConnId id, Admission& admission) {
    admission.evicted.append(id);
    release(id);
}

void ConnectionCaps::loggedIn(ConnId id) {
    const auto it = conns_.find(id);
    if (it == conns_.end() || !it->second.pending) return;
    it->second.pending = false;
    pending_.erase(id);
    if (const auto k = perKey_.find(it->second.key); k != perKey_.end()) k->pending.erase(id);
}

void ConnectionCaps::release(ConnId id) {
    const auto it = conns_.find(id);
    if (it == conns_.end()) return;
    pending_.erase(id);
    if (const auto k = perKey_.find(it->second.key); k != perKey_.end()) {
        k->pending.erase(id);
        if (--k->all <= 0) perKey_.erase(k);
    }
    conns_.erase(it);
}

}  // namespace xq::server

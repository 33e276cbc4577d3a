#include "server/connection_caps.h"

namespace xq::server {
namespace {

// The same host whether it came over IPv4 or as an IPv4-mapped IPv6 address.
QHostAddress canonical(const QHostAddress& a) {
    bool isV4 = false;
    const quint32 v4 = a.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4) : a;
}

}  // namespace

bool ConnectionCaps::admit(const QHostAddress& from) {
    if (total_ >= maxTotal_) return false;
    const QHostAddress host = canonical(from);
    if (!host.isLoopback()) {
        int& n = perAddress_[host];
        if (n >= maxPerAddress_) {
            if (n == 0) perAddress_.remove(host);
            return false;
        }
        ++n;
    }
    ++total_;
    return true;
}

void ConnectionCaps::release(const QHostAddress& from) {
    const QHostAddress host = canonical(from);
    if (!host.isLoopback()) {
        auto it = perAddress_.find(host);
        if (it == perAddress_.end()) return;
        if (--*it <= 0) perAddress_.erase(it);
    }
    if (total_ > 0) --total_;
}

}  // namespace xq::server

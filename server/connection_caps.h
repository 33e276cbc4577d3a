#pragma once

#include <QHash>
#include <QHostAddress>

namespace xq::server {

// How many connections the server keeps at once: in all, and from one address. Connections from
// the server's own host (loopback) count only towards the total: a local gateway or test brings
// everybody from there.
class ConnectionCaps {
public:
    ConnectionCaps(int maxTotal, int maxPerAddress)
        : maxTotal_(maxTotal), maxPerAddress_(maxPerAddress) {}

    // True, and the connection counted, when one more from this address stays within the caps.
    bool admit(const QHostAddress& from);
    // A counted connection from this address has ended.
    void release(const QHostAddress& from);
    int total() const { return total_; }

private:
    int maxTotal_;
    int maxPerAddress_;
    int total_ = 0;
    QHash<QHostAddress, int> perAddress_;
};

}  // namespace xq::server

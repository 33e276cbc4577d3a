#pragma once

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <map>
#include <set>

#include "server/table_output.h"

namespace xq::server {

// The key a peer is counted under: its IPv4 address (also when it came IPv4-mapped), or the /64
// of an IPv6 address, since one subscriber usually holds a whole /64 and could otherwise use a
// fresh address for every connection.
QString addressKey(const QHostAddress& address);

// How many connections the server keeps at once: in all and per address, and, among them, how
// many that have not logged in yet. Those are the cheap ones for a stranger to open, so they are
// held to a share: when a cap is full, the oldest connection it counts that has not logged in is
// closed to make room (a real client logs in within moments of connecting, a silent one never
// does, so the oldest is the likeliest to be silent; refusing the newcomer instead would let a
// stranger who keeps the share full lock everybody out). Only a cap full of logged-in
// connections refuses.
class ConnectionCaps {
public:
    struct Limits {
        int maxTotal = 3000;
        int maxPerAddress = 16;
        int maxPendingPerAddress = 4;
        int maxPending = 0;  // 0: a quarter of maxTotal
        // Loopback is a local gateway's (or a test's) address: everybody comes from it, so by
        // default it is held only to the caps in all.
        bool countLoopback = false;
    };
    struct Admission {
        bool admitted = false;
        QList<ConnId> evicted;  // to be closed: they made room for this one
    };

    explicit ConnectionCaps(Limits limits);

    // A new connection, counted as not logged in yet.
    Admission admit(ConnId id, const QHostAddress& from);
    // The connection logged in: it no longer counts as waiting.
    void loggedIn(ConnId id);
    // The connection ended (nothing for one not counted, or already evicted).
    void release(ConnId id);
    // The key the connection is counted under; empty for one not counted per address.
    QString keyOf(ConnId id) const { return conns_.count(id) ? conns_.at(id).key : QString(); }

    // Whether the connection is counted and has not logged in yet.
    bool waiting(ConnId id) const { return pending_.count(id) > 0; }
    int total() const { return static_cast<int>(conns_.size()); }
    int pending() const { return static_cast<int>(pending_.size()); }
    const Limits& limits() const { return limits_; }

private:
    struct Conn {
        QString key;  // empty: counted in all only
        bool pending = true;
    };
    struct PerKey {
        int all = 0;
        std::set<ConnId> pending;  // ids grow: the first is the oldest
    };
    void evict(ConnId id, Admission& admission);

    Limits limits_;
    std::map<ConnId, Conn> conns_;
    std::set<ConnId> pending_;
    QHash<QString, PerKey> perKey_;
};

}  // namespace xq::server

#pragma once

#include <QByteArray>

#include "net/codec.h"

namespace xq::server {

// Where the messages of one participant go: a socket, or a player inside the server process.
class Endpoint {
public:
    virtual ~Endpoint() = default;
    // The message and the same message framed for the wire, built once for all recipients.
    virtual void deliver(const Cmd& message, const QByteArray& frame) = 0;
    // The table is done with this participant: end after what was delivered.
    virtual void finish() = 0;
};

}  // namespace xq::server

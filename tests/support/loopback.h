#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <QtGlobal>

namespace xq::test {

// The loopback address at `port`, for tests that drive the server through bare sockets.
inline sockaddr_in LoopbackAt(quint16 port) {
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(port);
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return at;
}

// connect() of `fd` to the loopback port: 0, or -1 with errno (EINPROGRESS for a socket that
// does not block).
inline int ConnectToLoopback(int fd, quint16 port) {
    const sockaddr_in to = LoopbackAt(port);
    return ::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

}  // namespace xq::test

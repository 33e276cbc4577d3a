#include "server/stream_socket.h"

#include <algorithm>
#include <array>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <fcntl.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace xq::server {
namespace {

constexpr int kMaxParts = 64;

#ifdef _WIN32
using Native = SOCKET;
bool wouldBlock() {
    return WSAGetLastError() == WSAEWOULDBLOCK;
}
#else
using Native = int;
bool wouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}
#endif

Native native(qintptr d) {
    return static_cast<Native>(d);
}

void setUp(qintptr d) {
    const int one = 1;
#ifdef _WIN32
    u_long nonBlocking = 1;
    ioctlsocket(native(d), FIONBIO, &nonBlocking);
    setsockopt(native(d), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one),
               sizeof one);
#else
    fcntl(native(d), F_SETFL, fcntl(native(d), F_GETFL) | O_NONBLOCK);
    setsockopt(native(d), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
#ifdef SO_NOSIGPIPE
    setsockopt(native(d), SOL_SOCKET, SO_NOSIGPIPE, &one, sizeof one);
#endif
#endif
}

}  // namespace

void StreamSocket::keepAlive(int idleS, int intervalS, int probes) {
    if (descriptor_ < 0 || idleS < 1 || intervalS < 1 || probes < 1) return;
    const auto set = [this](int level, int option, int value) {
        setsockopt(native(descriptor_), level, option, reinterpret_cast<const char*>(&value),
                   sizeof value);
    };
    set(SOL_SOCKET, SO_KEEPALIVE, 1);
#if defined(TCP_KEEPIDLE)
    set(IPPROTO_TCP, TCP_KEEPIDLE, idleS);
#elif defined(TCP_KEEPALIVE)
    set(IPPROTO_TCP, TCP_KEEPALIVE, idleS);
#endif
#if defined(TCP_KEEPINTVL)
    set(IPPROTO_TCP, TCP_KEEPINTVL, intervalS);
#endif
#if defined(TCP_KEEPCNT)
    set(IPPROTO_TCP, TCP_KEEPCNT, probes);
#endif
#if defined(TCP_USER_TIMEOUT)
    // Probes are not sent while data waits for its acknowledgement; this bounds that wait the same.
    set(IPPROTO_TCP, TCP_USER_TIMEOUT, (idleS + intervalS * probes) * 1000);
#endif
}

StreamSocket::StreamSocket(qintptr descriptor, ReadyWatch& watch, QObject* parent)
    : QObject(parent), descriptor_(descriptor), watch_(watch) {
    setUp(descriptor_);
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    if (getpeername(native(descriptor_), reinterpret_cast<sockaddr*>(&peer), &length) == 0) {
        peerAddress_.setAddress(reinterpret_cast<const sockaddr*>(&peer));
        if (peer.ss_family == AF_INET)
            peerPort_ = ntohs(reinterpret_cast<const sockaddr_in*>(&peer)->sin_port);
        else if (peer.ss_family == AF_INET6)
            peerPort_ = ntohs(reinterpret_cast<const sockaddr_in6*>(&peer)->sin6_port);
    }
    watch_.add(descriptor_, this);
}

StreamSocket::~StreamSocket() {
    close();
}

qint64 StreamSocket::read(char* into, qint64 max) {
    if (descriptor_ < 0) return -1;
#ifdef _WIN32
    const int n =
        recv(native(descriptor_), into, static_cast<int>(std::min<qint64>(max, 1 << 30)), 0);
#else
    const ssize_t n = ::recv(native(descriptor_), into, static_cast<size_t>(max), 0);
#endif
    if (n > 0) return n;
    if (n < 0 && wouldBlock()) return 0;
    return -1;
}

qint64 StreamSocket::send(const QByteArrayView* parts, int count) {
    if (descriptor_ < 0) return -1;
    count = std::min(count, kMaxParts);
#ifdef _WIN32
    std::array<WSABUF, kMaxParts> buffers{};
    for (int i = 0; i < count; ++i) {
        buffers[i].buf = const_cast<char*>(parts[i].data());
        buffers[i].len = static_cast<ULONG>(parts[i].size());
    }
    DWORD sent = 0;
    if (WSASend(native(descriptor_), buffers.data(), static_cast<DWORD>(count), &sent, 0, nullptr,
                nullptr) != 0)
        return wouldBlock() ? 0 : -1;
    return static_cast<qint64>(sent);
#else
    std::array<iovec, kMaxParts> buffers{};
    for (int i = 0; i < count; ++i) {
        buffers[static_cast<std::size_t>(i)].iov_base = const_cast<char*>(parts[i].data());
        buffers[static_cast<std::size_t>(i)].iov_len = static_cast<size_t>(parts[i].size());
    }
    msghdr message{};
    message.msg_iov = buffers.data();
    message.msg_iovlen = static_cast<decltype(message.msg_iovlen)>(count);
#ifdef MSG_NOSIGNAL
    const int flags = MSG_NOSIGNAL;  // a closed peer is an error here, not a signal
#else
    const int flags = 0;
#endif
    const ssize_t n = ::sendmsg(native(descriptor_), &message, flags);
    if (n >= 0) return n;
    return wouldBlock() ? 0 : -1;
#endif
}

void StreamSocket::watchWritable(bool on) {
    if (descriptor_ < 0 || writableWatched_ == on) return;
    writableWatched_ = on;
    watch_.watchWritable(descriptor_, on);
}

void StreamSocket::shutdownSending() {
    if (descriptor_ < 0) return;
#ifdef _WIN32
    shutdown(native(descriptor_), SD_SEND);
#else
    ::shutdown(native(descriptor_), SHUT_WR);
#endif
}

void StreamSocket::close() {
    if (descriptor_ < 0) return;
    watch_.remove(descriptor_);
#ifdef _WIN32
    closesocket(native(descriptor_));
#else
    ::close(native(descriptor_));
#endif
    descriptor_ = -1;
}

void StreamSocket::abort() {
    if (descriptor_ < 0) return;
    linger now{};
    now.l_onoff = 1;
    now.l_linger = 0;
    setsockopt(native(descriptor_), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&now),
               sizeof now);
    close();
}

int StreamSocket::unacknowledgedBytes() const {
    int queued = 0;
#ifndef _WIN32
    if (descriptor_ < 0 || ::ioctl(static_cast<int>(descriptor_), SIOCOUTQ, &queued) != 0) return 0;
#endif
    return queued;
}

}  // namespace xq::server

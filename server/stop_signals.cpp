#include "server/stop_signals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace xq::server {
namespace {

int writeEnd = -1;

void onSignal(int number) {
    const int saved = errno;
    const char byte = static_cast<char>(number);
    // Nothing else is safe in a handler; a full pipe only loses a repeat.
    [[maybe_unused]] const auto n = ::write(writeEnd, &byte, 1);
    errno = saved;
}

}  // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds_) != 0) return;
    writeEnd = fds_[0];
    notifier_ = std::make_unique<QSocketNotifier>(fds_[1], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &StopSignals::onReadable);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

StopSignals::~StopSignals() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    notifier_.reset();
    writeEnd = -1;
    for (int fd : fds_) {
        if (fd >= 0) ::close(fd);
    }
}

void StopSignals::onReadable() {
    char bytes[16];
    const auto n = ::read(fds_[1], bytes, sizeof bytes);
    for (ssize_t i = 0; i < n; ++i)
        emit stopRequested(static_cast<unsigned char>(bytes[i]));
}

}  // namespace xq::server

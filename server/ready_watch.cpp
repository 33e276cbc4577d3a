#include "server/ready_watch.h"

#include <QSocketNotifier>
#include <array>

#ifdef __linux__
#include <sys/epoll.h>
#include <unistd.h>
#endif

namespace xq::server {

ReadyWatch::ReadyWatch(QObject* parent) : QObject(parent) {
#ifdef __linux__
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    if (epoll_ >= 0) {
        epollNotifier_ = new QSocketNotifier(epoll_, QSocketNotifier::Read, this);
        connect(epollNotifier_, &QSocketNotifier::activated, this, &ReadyWatch::dispatch);
    }
#endif
}

ReadyWatch::~ReadyWatch() {
    delete epollNotifier_;
#ifdef __linux__
    if (epoll_ >= 0) ::close(epoll_);
#endif
}

void ReadyWatch::add(qintptr descriptor, Client* client) {
    Entry& e = entries_[descriptor];
    e.client = client;
    e.writable = false;
#ifdef __linux__
    if (epoll_ >= 0) {
        epoll_event ev{};
        ev.events = EPOLLIN | EPOLLRDHUP;
        ev.data.fd = static_cast<int>(descriptor);
        epoll_ctl(epoll_, EPOLL_CTL_ADD, static_cast<int>(descriptor), &ev);
        return;
    }
#endif
    e.read = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
    connect(e.read, &QSocketNotifier::activated, this, [this, descriptor] {
        if (const auto it = entries_.constFind(descriptor); it != entries_.cend())
            it->client->onReadable();
    });
}

void ReadyWatch::watchWritable(qintptr descriptor, bool on) {
    const auto it = entries_.find(descriptor);
    if (it == entries_.end() || it->writable == on) return;
    it->writable = on;
#ifdef __linux__
    if (epoll_ >= 0) {
        epoll_event ev{};
        ev.events = EPOLLIN | EPOLLRDHUP | (on ? EPOLLOUT : 0u);
        ev.data.fd = static_cast<int>(descriptor);
        epoll_ctl(epoll_, EPOLL_CTL_MOD, static_cast<int>(descriptor), &ev);
        return;
    }
#endif
    if (!it->write) {
        it->write = new QSocketNotifier(descriptor, QSocketNotifier::Write, this);
        connect(it->write, &QSocketNotifier::activated, this, [this, descriptor] {
            if (const auto found = entries_.constFind(descriptor); found != entries_.cend())
                found->client->onWritable();
        });
    }
    it->write->setEnabled(on);
}

void ReadyWatch::remove(qintptr descriptor) {
    const auto it = entries_.find(descriptor);
    if (it == entries_.end()) return;
#ifdef __linux__
    if (epoll_ >= 0) epoll_ctl(epoll_, EPOLL_CTL_DEL, static_cast<int>(descriptor), nullptr);
#endif
    delete it->read;
    delete it->write;
    entries_.erase(it);
}

void ReadyWatch::dispatch() {
#ifdef __linux__
    // What is not taken now stays ready, and the set's own descriptor with it: the next turn
    // brings the rest.
    std::array<epoll_event, 256> ready{};
    const int n = epoll_wait(epoll_, ready.data(), static_cast<int>(ready.size()), 0);
    for (int i = 0; i < n; ++i) {
        const epoll_event& ev = ready[static_cast<std::size_t>(i)];
        // Looked up afresh each time: an earlier handler may have closed this descriptor.
        auto it = entries_.constFind(ev.data.fd);
        if (it == entries_.cend()) continue;
        if (ev.events & (EPOLLOUT | EPOLLERR)) {
            if (it->writable) it->client->onWritable();
            it = entries_.constFind(ev.data.fd);
            if (it == entries_.cend()) continue;
        }
        if (ev.events & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR)) it->client->onReadable();
    }
#endif
}

}  // namespace xq::server

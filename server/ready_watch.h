#pragma once

#include <QHash>
#include <QObject>

class QSocketNotifier;

namespace xq::server {

// Tells sockets when they can be read or written. On Linux one epoll set serves them all, so an
// event-loop turn costs what the ready sockets cost, not what the open ones do: with a thousand
// watchers, a poll over every descriptor each turn was a tenth of the server's time. Elsewhere
// each socket gets its own notifiers. Level-triggered, as Qt's notifiers are: a socket that is
// not read empty is told again in the next turn.
class ReadyWatch : public QObject {
    Q_OBJECT
public:
    class Client {
    public:
        virtual void onReadable() = 0;  // also at the end of the stream and on errors
        virtual void onWritable() = 0;

    protected:
        ~Client() = default;
    };

    explicit ReadyWatch(QObject* parent = nullptr);
    ~ReadyWatch() override;

    // Starts telling `client` when `descriptor` is readable; writability only when asked.
    void add(qintptr descriptor, Client* client);
    void watchWritable(qintptr descriptor, bool on);
    // Stops telling; call before the descriptor is closed.
    void remove(qintptr descriptor);

private:
    struct Entry {
        Client* client = nullptr;
        bool writable = false;
        QSocketNotifier* read = nullptr;   // without epoll only
        QSocketNotifier* write = nullptr;  // without epoll only
    };
    void dispatch();

    QHash<qintptr, Entry> entries_;
    int epoll_ = -1;
    QSocketNotifier* epollNotifier_ = nullptr;
};

}  // namespace xq::server

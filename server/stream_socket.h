#pragma once

#include <QByteArrayView>
#include <QHostAddress>
#include <QObject>

#include "server/ready_watch.h"

namespace xq::server {

// A connected TCP socket by its descriptor, with no buffers of its own: reads and writes go
// straight to the kernel, and the owner keeps whatever the kernel does not take yet. A thousand
// watchers then cost one system call each per event-loop turn and no copies, and an idle one
// holds no memory for data.
class StreamSocket : public QObject, private ReadyWatch::Client {
    Q_OBJECT
public:
    // Takes the descriptor: it is closed with this object. `watch` tells it when the descriptor
    // is ready and must outlive it.
    StreamSocket(qintptr descriptor, ReadyWatch& watch, QObject* parent = nullptr);
    ~StreamSocket() override;

    QHostAddress peerAddress() const { return peerAddress_; }
    quint16 peerPort() const { return peerPort_; }
    bool isOpen() const { return descriptor_ >= 0; }

    // Bytes read into `into` (up to `max`), 0 when nothing is there now, -1 at the end of the
    // stream or on an error.
    qint64 read(char* into, qint64 max);
    // Bytes of `parts` (in order) that the kernel took, 0 when it takes nothing now, -1 on an
    // error.
    qint64 send(const QByteArrayView* parts, int count);
    // Whether `writable` is wanted: only while the kernel's buffer is full.
    void watchWritable(bool on);
    // The system probes the peer after `idleS` seconds without traffic, then every `intervalS`,
    // and ends the connection after `probes` unanswered ones (or when sent data stays
    // unacknowledged that long); nothing for a value below 1.
    void keepAlive(int idleS, int intervalS, int probes);
    // No more data from this side; the other side sees the end after what was sent.
    void shutdownSending();
    // Bytes handed to the kernel that the peer has not acknowledged yet; 0 when closed.
    int unacknowledgedBytes() const;
    void close();
    // Closes at once, dropping what the kernel still holds to send (a reset for the other side).
    void abort();

signals:
    void readable();
    void writable();

private:
    void onReadable() override { emit readable(); }
    void onWritable() override { emit writable(); }

    qintptr descriptor_;
    ReadyWatch& watch_;
    bool writableWatched_ = false;
    QHostAddress peerAddress_;
    quint16 peerPort_ = 0;
};

}  // namespace xq::server

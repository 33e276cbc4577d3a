#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace xq::server {

// SIGTERM and SIGINT as a Qt signal on the thread that made this: the handler only writes a byte
// to a pipe, and the event loop reads it, so that stopping runs as ordinary code. One at a time.
class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

signals:
    // `number` is the signal's number; every later one is reported too.
    void stopRequested(int number);

private:
    void onReadable();

    int fds_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace xq::server

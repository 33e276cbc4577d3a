#pragma once

#include <QByteArray>
#include <QObject>
#include <deque>

namespace xq {

// Received messages on their way to the table. They are handed out one per event-loop turn, in
// arrival order, never from inside the socket's read handler, so that a message arriving while a
// modal box waits is handled inside that wait. While the table holds the inbox (it is applying
// and animating a move) nothing is handed out; the messages wait and follow in order once it is
// released. The end of the connection is reported once, after the last message.
class MessageInbox : public QObject {
    Q_OBJECT

public:
    explicit MessageInbox(QObject* parent = nullptr) : QObject(parent) {}

    void push(QByteArray message);
    // The connection is over; reported after every message already pushed.
    void finish(bool failedToConnect);

    // Holds may nest; delivery resumes when the last one is released.
    void hold();
    void release();
    bool held() const { return holds_ > 0; }
    std::size_t waiting() const { return queue_.size(); }
    bool ending() const { return ending_; }

signals:
    void message(const QByteArray& message);
    void ended(bool failedToConnect);

private:
    void schedule();
    void deliverOne();

    std::deque<QByteArray> queue_;
    int holds_ = 0;
    bool scheduled_ = false;
    bool ending_ = false;
    bool endFailed_ = false;
    bool endReported_ = false;
};

}  // namespace xq

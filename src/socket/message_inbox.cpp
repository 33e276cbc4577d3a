#include "socket/message_inbox.h"

namespace xq {

void MessageInbox::push(QByteArray message) {
    if (ending_) return;  // nothing counts after the end
    queue_.push_back(std::move(message));
    schedule();
}

void MessageInbox::finish(bool failedToConnect) {
    if (ending_) return;
    ending_ = true;
    endFailed_ = failedToConnect;
    schedule();
}

void MessageInbox::hold() {
    ++holds_;
}

void MessageInbox::release() {
    if (holds_ == 0) return;
    if (--holds_ == 0) schedule();
}

void MessageInbox::schedule() {
    if (scheduled_ || held()) return;
    if (queue_.empty() && (!ending_ || endReported_)) return;
    scheduled_ = true;
    QMetaObject::invokeMethod(this, &MessageInbox::deliverOne, Qt::QueuedConnection);
}

void MessageInbox::deliverOne() {
    scheduled_ = false;
    if (held()) return;  // release() schedules again
    if (!queue_.empty()) {
        QByteArray next = std::move(queue_.front());
        queue_.pop_front();
        // The next delivery is queued before this one is handled, so that a handler that waits
        // in a nested event loop (a modal box) receives the messages that follow.
        schedule();
        emit message(next);
        return;
    }
    if (ending_ && !endReported_) {
        endReported_ = true;
        emit ended(endFailed_);
    }
}

}  // namespace xq

#include "server/store_thread.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QPointer>
#include <QThread>
#include <QWaitCondition>
#include <deque>

namespace xq::server {

// The thread itself: its queue, and the store that only it touches.
class StoreThread::Worker : public QThread {
public:
    struct Queued {
        Job job;
        std::function<bool()> skip;
    };

    Worker(QString where, StoreThread* owner) : where_(std::move(where)), owner_(owner) {}

    // Start-up: the store opened on the thread, or why not.
    bool waitOpened(QString* error, bool* postgres, QString* description) {
        QMutexLocker lock(&mutex_);
        while (!opened_)
            changed_.wait(&mutex_);
        *error = openError_;
        *postgres = postgres_;
        *description = description_;
        return store_ != nullptr;
    }

    bool add(Queued job) {
        QMutexLocker lock(&mutex_);
        if (stopping_) return false;
        queue_.push_back(std::move(job));
        changed_.wakeAll();
        return true;
    }
    void stop() {
        QMutexLocker lock(&mutex_);
        stopping_ = true;
        changed_.wakeAll();
    }
    int backlog() const {
        QMutexLocker lock(&mutex_);
        return static_cast<int>(queue_.size()) + (busy_ ? 1 : 0);
    }
    // Cut off from the owner: replies of jobs still running go nowhere.
    void orphan() {
        QMutexLocker lock(&mutex_);
        owner_ = nullptr;
    }

protected:
    void run() override {
        {
            QString error;
            auto store = PlayerStore::open(where_, &error);
            QMutexLocker lock(&mutex_);
            store_ = std::move(store);
            openError_ = error;
            if (store_) {
                postgres_ = store_->isPostgres();
                description_ =
                    QStringLiteral("%1, schema %2, %3 games")
                        .arg(postgres_ ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLite"))
                        .arg(store_->schemaVersion())
                        .arg(store_->archivedGames());
            }
            opened_ = true;
            changed_.wakeAll();
            if (!store_) return;
        }
        for (;;) {
            Queued next;
            {
                QMutexLocker lock(&mutex_);
                while (queue_.empty() && !stopping_)
                    changed_.wait(&mutex_);
                if (queue_.empty()) break;
                next = std::move(queue_.front());
                queue_.pop_front();
                busy_ = true;
            }
            Reply reply;
            if (!next.skip || !next.skip()) reply = next.job(*store_);
            QMutexLocker lock(&mutex_);
            busy_ = false;
            if (reply && owner_) {
                QPointer<StoreThread> to(owner_);
                QMetaObject::invokeMethod(
                    owner_,
                    [to, reply = std::move(reply)] {
                        if (to) to->deliver(reply);
                    },
                    Qt::QueuedConnection);
            }
        }
        // The SQLite file alone holds everything once its log is written back into it.
        store_->close();
        store_.reset();
    }

private:
    const QString where_;
    StoreThread* owner_;
    mutable QMutex mutex_;
    QWaitCondition changed_;
    std::deque<Queued> queue_;
    bool stopping_ = false;
    bool busy_ = false;
    bool opened_ = false;
    QString openError_;
    bool postgres_ = false;
    QString description_;
    std::unique_ptr<PlayerStore> store_;
};

StoreThread::StoreThread() = default;

std::unique_ptr<StoreThread> StoreThread::open(const QString& where, QString* error) {
    std::unique_ptr<StoreThread> t(new StoreThread);
    t->worker_ = std::make_unique<Worker>(where, t.get());
    t->worker_->setObjectName(QStringLiteral("store"));
    t->worker_->start();
    QString why;
    if (!t->worker_->waitOpened(&why, &t->postgres_, &t->description_)) {
        t->worker_->wait();
        t->finished_ = t->finishedInTime_ = true;
        if (error) *error = why;
        return nullptr;
    }
    return t;
}

StoreThread::~StoreThread() {
    finish(kCloseMs);
}

void StoreThread::enqueue(Job job, std::function<bool()> skip) {
    if (finished_ || !worker_) return;
    worker_->add(Worker::Queued{std::move(job), std::move(skip)});
}

void StoreThread::enqueue(std::function<void(PlayerStore&)> job, std::function<bool()> skip) {
    enqueue(Job([job = std::move(job)](PlayerStore& store) -> Reply {
                job(store);
                return {};
            }),
            std::move(skip));
}

void StoreThread::deliver(Reply reply) {
    if (reply) reply();
}

bool StoreThread::finish(int ms) {
    if (finished_) return finishedInTime_;
    finished_ = true;
    if (!worker_) return finishedInTime_ = true;
    worker_->stop();
    finishedInTime_ = worker_->wait(QDeadlineTimer(ms));
    if (!finishedInTime_) {
        // Held by a database that does not answer: destroying a running thread would end the
        // process, so the thread and its store are left to run out on their own.
        worker_->orphan();
        (void)worker_.release();
    }
    return finishedInTime_;
}

int StoreThread::backlog() const {
    return worker_ ? worker_->backlog() : 0;
}

}  // namespace xq::server

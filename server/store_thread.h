#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>

#include "server/store/player_store.h"

namespace xq::server {

// The players' store on a thread of its own, so that a database that is slow or does not answer
// never holds up the tables. The store is opened, used and closed only on that thread (a Qt SQL
// connection belongs to the thread that made it); the server's thread hands it jobs through a
// queue and gets each result back, queued, on its own thread.
//
// Jobs run one at a time, in the order they were given. A database that stops answering holds
// the job under way (and so those behind it) until it answers again; the server's thread is never
// held. Whoever must not wait that long gives a deadline.
class StoreThread : public QObject {
    Q_OBJECT
public:
    // Opens the store on its new thread and waits for that (start-up only). Nothing, with the
    // reason, when it cannot be opened.
    static std::unique_ptr<StoreThread> open(const QString& where, QString* error);
    // Finishes (finish(kCloseMs)) unless finish() was called already.
    ~StoreThread() override;
    StoreThread(const StoreThread&) = delete;
    StoreThread& operator=(const StoreThread&) = delete;

    static constexpr int kCloseMs = 5000;

    // Runs `job` on the store's thread after every job given before it; `done` gets its result on
    // the thread that called run() (which must have an event loop: the server's). `done` may be
    // empty. After finish() the job is not run and `done` is not called.
    template <class R>
    void run(std::function<R(PlayerStore&)> job, std::function<void(R)> done);
    // The same with a deadline: when the result has not come within `withinMs`, `done` gets
    // `late` instead, and the job is skipped if it has not started by then (once started it runs
    // to its end; its result is then dropped). `done` is called exactly once.
    template <class R>
    void run(std::function<R(PlayerStore&)> job, std::function<void(R)> done, int withinMs, R late);
    // The same for a job without a result.
    void post(std::function<void(PlayerStore&)> job) { enqueue(std::move(job), nullptr); }

    // Waits up to `ms` for every job given so far to run, then closes the store: its write-ahead
    // log is written into the SQLite file (which then holds everything alone). True when the
    // thread ended in time. False when a job was still held by the database: the thread is then
    // left to itself (the process should end without using the store again), and so are the
    // jobs still waiting. Later jobs are refused. Callable once; later calls return the first
    // answer.
    bool finish(int ms);
    // Jobs given and not yet finished (the one under way included).
    int backlog() const;
    bool isPostgres() const { return postgres_; }
    // What the store said when it was opened, for the start-up line.
    QString description() const { return description_; }

private:
    class Worker;
    // A job's result travels back as a function to call on this side.
    using Reply = std::function<void()>;
    using Job = std::function<Reply(PlayerStore&)>;
    StoreThread();
    // `skip`: asked for just before the job would run; true leaves it out.
    void enqueue(Job job, std::function<bool()> skip);
    void enqueue(std::function<void(PlayerStore&)> job, std::function<bool()> skip);
    void deliver(Reply reply);

    std::unique_ptr<Worker> worker_;
    bool finished_ = false;
    bool finishedInTime_ = false;
    bool postgres_ = false;
    QString description_;
};

template <class R>
void StoreThread::run(std::function<R(PlayerStore&)> job, std::function<void(R)> done) {
    enqueue(Job([job = std::move(job), done = std::move(done)](PlayerStore& store) -> Reply {
                auto result = std::make_shared<R>(job(store));
                if (!done) return {};
                return [done, result] { done(std::move(*result)); };
            }),
            nullptr);
}

template <class R>
void StoreThread::run(std::function<R(PlayerStore&)> job, std::function<void(R)> done, int withinMs,
                      R late) {
    // Whichever comes first, the result or the deadline, settles it; the other finds it settled.
    auto settled = std::make_shared<std::atomic<bool>>(false);
    auto answer = std::make_shared<std::function<void(R)>>(std::move(done));
    QTimer::singleShot(withinMs, this, [settled, answer, late = std::move(late)]() mutable {
        if (!settled->exchange(true) && *answer) (*answer)(std::move(late));
    });
    enqueue(Job([job = std::move(job), settled, answer](PlayerStore& store) -> Reply {
                auto result = std::make_shared<R>(job(store));
                return [settled, answer, result] {
                    if (!settled->exchange(true) && *answer) (*answer)(std::move(*result));
                };
            }),
            [settled] { return settled->load(); });
}

}  // namespace xq::server

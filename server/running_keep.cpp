#include "server/running_keep.h"

#include <QEventLoop>
#include <QFile>
#include <QSet>
#include <atomic>
#include <optional>
#include <utility>

#include "server/room_server.h"
#include "server/running_spill.h"
#include "server/store_thread.h"

namespace xq::server {

// What the store's thread and the callbacks share; it outlives whichever ends last.
struct RunningKeep::Shared {
    // A spill file whose games the store does not hold yet: removed once it does.
    QString pendingSpill;
    // A store that keeps failing would fail twice a second: logged once, and when it recovers.
    int failedTries = 0;
    // The last word reached the store or the spill file.
    std::atomic<bool> lastKept{false};
};

namespace {

bool writeAside(const QString& path, const QString& room, const std::vector<RunningGame>& games,
                const RunningKeep::LogSink& log) {
    QString error;
    if (!writeRunningSpill(path, room, games, &error)) {
        log(QStringLiteral("%1; the running games' moves since they were last kept are lost")
                .arg(error));
        return false;
    }
    log(QStringLiteral("%1 running games written to %2, to go on at the next start")
            .arg(games.size())
            .arg(path));
    return true;
}

}  // namespace

RunningKeep::RunningKeep(StoreThread& store, RoomServer& server, QString room, QString spillFile,
                         LogSink log)
    : store_(store),
      server_(server),
      room_(std::move(room)),
      spillFile_(std::move(spillFile)),
      log_(std::move(log)),
      shared_(std::make_shared<Shared>()) {}

void RunningKeep::resume() {
    // Written aside at the last stop: newer than anything the store has.
    const RunningSpill spill = readRunningSpill(spillFile_, room_);
    if (spill.state == RunningSpill::State::Read) {
        const int resumed = server_.resumeGames(spill.games, false);
        shared_->pendingSpill = spillFile_;
        log_(QStringLiteral("%1 of %2 running games written aside at the last stop go on")
                 .arg(resumed)
                 .arg(spill.games.size()));
        return;
    }
    if (spill.state == RunningSpill::State::Unreadable)
        log_(QStringLiteral("%1; the running games kept in the store go on").arg(spill.error));

    struct Kept {
        std::optional<std::vector<RunningGame>> games;
        QString error;
    };
    Kept kept;
    QEventLoop reading;
    const QString room = room_;
    store_.run<Kept>(
        [room](PlayerStore& s) {
            Kept k{s.runningGames(room), {}};
            if (!k.games) k.error = s.lastError();
            return k;
        },
        [&kept, &reading](Kept k) {
            kept = std::move(k);
            reading.quit();
        },
        10'000, Kept{std::nullopt, QStringLiteral("the database did not answer in 10 s")});
    reading.exec();
    if (!kept.games) {
        log_(QStringLiteral("the running games kept before the restart cannot be read: %1")
                 .arg(kept.error));
        return;
    }
    const int resumed = server_.resumeGames(*kept.games);
    std::vector<int> dropped;
    for (const auto& g : *kept.games) {
        const bool up = g.table >= 1 && g.table <= server_.tableCount() &&
                        server_.table(g.table).waitingForResume();
        if (!up) dropped.push_back(g.table);
    }
    if (!dropped.empty()) {
        store_.post([room, dropped, log = log_](PlayerStore& s) {
            QString error;
            if (!s.keepRunningGames(room, {}, dropped, &error)) log(error);
        });
    }
    if (!kept.games->empty())
        log_(QStringLiteral("%1 of %2 running games kept from before the restart go on")
                 .arg(resumed)
                 .arg(kept.games->size()));
}

void RunningKeep::keepFromNowOn() {
    server_.keepRunningGames([&store = store_, room = room_, log = log_, shared = shared_](
                                 const Room::RunningChanges& changes,
                                 std::function<void(bool)> done) {
        using Result = std::pair<bool, QString>;
        const QString spill = shared->pendingSpill;
        store.run<Result>(
            [room, changes, spill](PlayerStore& s) {
                QString error;
                const bool ok = s.keepRunningGames(room, changes.changed, changes.ended, &error);
                // The first batch kept after a start from the spill file holds all of it.
                if (ok && !spill.isEmpty()) QFile::remove(spill);
                return Result{ok, error};
            },
            [log, done, shared, spill](Result r) {
                if (!r.first && shared->failedTries++ == 0) log(r.second);
                if (r.first && shared->failedTries > 0) {
                    log(QStringLiteral("running games kept again after %1 failed tries")
                            .arg(std::exchange(shared->failedTries, 0)));
                }
                if (r.first && !spill.isEmpty() && shared->pendingSpill == spill) {
                    shared->pendingSpill.clear();
                    log(
                        QStringLiteral("the running games written aside at the last stop are "
                                       "kept in the store"));
                }
                done(r.first);
            },
            10'000, Result{false, QStringLiteral("the running games were not kept within 10 s")});
    });
}

void RunningKeep::stop() {
    if (stopped_) return;
    stopped_ = true;
    last_ = server_.runningGames();
    // The whole state: a game that ended since the last batch was kept is forgotten too.
    QSet<int> running;
    for (const RunningGame& g : last_)
        running.insert(g.table);
    std::vector<int> ended;
    for (int n = 1; n <= server_.tableCount(); ++n) {
        if (!running.contains(n)) ended.push_back(n);
    }
    // Queued behind what the store has already, so it is the last word.
    store_.post([room = room_, games = last_, ended, spill = spillFile_, log = log_,
                 shared = shared_](PlayerStore& s) {
        QString error;
        if (s.keepRunningGames(room, games, ended, &error)) {
            QFile::remove(spill);  // the store holds all of it now
            shared->lastKept = true;
            return;
        }
        log(error);
        if (writeAside(spill, room, games, log)) shared->lastKept = true;
    });
}

void RunningKeep::storeHeld() {
    if (!stopped_ || shared_->lastKept) return;
    // The store's thread may still get there; it would write the same games.
    if (writeAside(spillFile_, room_, last_, log_)) shared_->lastKept = true;
}

}  // namespace xq::server

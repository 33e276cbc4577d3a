#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

#include "server/pending_results.h"
#include "server/store_thread.h"
#include "server/user_stats.h"

namespace xq::server {

// The room's statistics kept in the players' database, through the store's thread: look-ups
// answered later, and finished games kept here until the store has committed them (in order,
// tried again while the store is away), then the players' stored figures given back. At an
// orderly exit what the store could not take is written to a file that the next start commits
// first.
class DatabaseStats : public QObject, public StatsStore {
    Q_OBJECT
public:
    using LogSink = std::function<void(const QString&)>;

    // `spillFile`: where results left over at an exit are kept (see result_spill.h).
    DatabaseStats(StoreThread& store, LogSink log, QString spillFile, QObject* parent = nullptr);

    void look(const QString& name, Looked answer) override;
    void record(const GameOutcome& game, Stored stored) override;
    bool takesResults() const override;

    // Start-up: the results an earlier run left in the spill file go to the store before any
    // other. False, with the reason logged, when the file cannot be read (it is then left alone).
    bool takeSpilled();
    // Orderly exit: runs the event loop for up to `ms` while the pending results are committed,
    // then writes what is still pending to the spill file. True when nothing is left unsaved.
    // Results finished later are kept in memory only.
    bool settle(int ms);
    int pending() const { return pending_.size(); }

private:
    void pump();
    void onCommitted(bool ok, bool refused, const QString& error,
                     const std::array<std::optional<StoredPlayer>, 2>& players);
    qint64 now() const { return clock_.elapsed(); }

    StoreThread& store_;
    LogSink log_;
    QString spillFile_;
    QElapsedTimer clock_;
    QTimer retry_;
    PendingResults pending_;
    int spilledLeft_ = 0;  // of the head of the queue: read from the spill file
    bool settling_ = false;
};

// A stored player as the table's rows count him: a runaway is a lost game as well as an escape.
UserStats statsOf(const StoredPlayer& stored);

}  // namespace xq::server

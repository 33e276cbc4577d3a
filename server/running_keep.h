#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "server/running_game.h"

namespace xq::server {

class RoomServer;
class StoreThread;

// The room's running games kept over a restart: set up again at the start, kept in the store as
// they are played (off the tables' thread, a batch at a time), and at the stop the last word on
// every game, which goes to a file beside the store when the store cannot take it, so that the
// next start goes on from there.
class RunningKeep {
public:
    using LogSink = std::function<void(const QString&)>;
    // `spillFile`: where the last word goes when the store cannot take it (running_spill.h).
    RunningKeep(StoreThread& store, RoomServer& server, QString room, QString spillFile,
                LogSink log);

    // Start-up, before the first player can come in: the games the last run left (in the spill
    // file when it wrote one, else in the store) set up again at their tables. Waits for the
    // store, 10 s at most.
    void resume();
    // From now on every change is kept.
    void keepFromNowOn();
    // The server stops: every game as it stands, and no other, is what the store keeps.
    void stop();
    // The store did not finish in time after stop() (the database holds it): unless its thread
    // got the last word kept, the spill file gets it from here.
    void storeHeld();

private:
    struct Shared;
    StoreThread& store_;
    RoomServer& server_;
    QString room_;
    QString spillFile_;
    LogSink log_;
    std::shared_ptr<Shared> shared_;
    std::vector<RunningGame> last_;
    bool stopped_ = false;
};

}  // namespace xq::server

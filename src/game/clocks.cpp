// The two clocks of each seat: a step clock per move and a bank charged once the move has used
// its free time.

#include "game/table.h"
#include "net/table_requests.h"
#include "prefs/sounds.h"

namespace xq {
namespace {

using Clock = std::array<std::uint8_t, 3>;

void addSecond(Clock& c) {
    if (++c[2] >= 60) {
        c[2] = 0;
        if (++c[1] >= 60) {
            c[1] = 0;
            if (++c[0] > 99) c[0] = 0;
        }
    }
}

long Seconds(const Clock& c) {
    return c[0] * 3600L + c[1] * 60L + c[2];
}

}  // namespace

bool Table::RunTimeTick(int seat) {
    if (seat != 0 && seat != 1) return true;
    SeatUserItem& who = s.SeatUsers[static_cast<std::size_t>(seat)];
    addSecond(who.bteStepUsed);
    screen.changed(Shown::ClockB, seat);
    const long used = Seconds(who.bteStepUsed);
    const long allowed = Seconds(g.bteStepTime);
    if (used < allowed) {
        if (allowed - used == 5) MakeSound(kSoundWarning);
        return true;
    }
    addSecond(who.bteTotalUsed);
    screen.changed(Shown::ClockA, seat);
    return !(Seconds(who.bteTotalUsed) > Seconds(g.bteTotalTime) && seat == s.bteMySeat &&
             !s.blnLookOn);
}

void Table::StartRunTime() {
    setTimer(TableTimer::UserRunTime, true);
}

void Table::StopRunTime() {
    setTimer(TableTimer::UserRunTime, false);
    const int seat = g.bteGameState;
    if (seat != 0 && seat != 1) return;
    screen.changed(Shown::ClockA, seat);
    s.SeatUsers[static_cast<std::size_t>(seat)].bteStepUsed = {};
    screen.changed(Shown::ClockB, seat);
}

void Table::onClockTick() {
    const bool ok = RunTimeTick(g.bteGameState);
    if (g.bteGameState == s.bteMySeat && !s.blnLookOn && !ok) {
        MakeSound(kSoundTimeOver);
        setTimer(TableTimer::UserRunTime, false);
        Send(tablemsg::encode(tablemsg::Resign{s.bteMySeat, true}));
    }
}

}  // namespace xq

// The client's table fed with arbitrary messages from the server: every byte of a message comes
// from the input. The input is a sequence of messages, each a length byte and that many bytes.

#include <cstddef>
#include <cstdint>

#include "game/table.h"
#include "net/table_events.h"
#include "null_screen.h"
#include "seeds.h"

namespace xq::fuzz {
namespace {

// What a reader takes from a frame without its being the frame a server would build of it: a
// snapshot cut short, bytes after a request's seat, a tally above what two bytes hold.
bool Canonical(const tablemsg::Event& e) {
    using namespace tablemsg;
    constexpr int kMaxTally = 255 * 255 + 254;
    const auto tallyFits = [](const std::array<int, 2>& t) {
        return t[0] <= kMaxTally && t[1] <= kMaxTally;
    };
    if (const auto* n = std::get_if<Negotiation>(&e)) return !n->trailing;
    // A record without moves comes only from a frame with a stray byte after the sub-code.
    if (const auto* m = std::get_if<RecordMoves>(&e)) return !m->moves.empty();
    if (const auto* w = std::get_if<WaitingSnapshot>(&e))
        return w->arrived == WaitingSnapshot::kFields && tallyFits(w->tally);
    if (const auto* r = std::get_if<RunningSnapshot>(&e))
        return r->arrived == RunningSnapshot::kFields && !r->cutMove && tallyFits(r->tally);
    return true;
}

// A canonical event encodes to a frame that reads back equal, and what reads back is a fixed
// point. The code page writes one character (a private-use one) as the lone byte 0xFF, which it
// reads as a lead byte: a text read from a frame with that byte may change on the way.
void CheckRoundTrip(const tablemsg::Event& event, const QByteArray& frame) {
    const bool canonical = Canonical(event) && !frame.contains('\xFF');
    const QByteArray bytes = tablemsg::encode(event);
    const tablemsg::ParsedEvent again = tablemsg::parseEvent(bytes);
    const auto* back = std::get_if<tablemsg::Event>(&again);
    if (!back) {
        if (canonical) __builtin_trap();
        return;
    }
    const QByteArray rebuilt = tablemsg::encode(*back);
    if (canonical && rebuilt == bytes && !(*back == event)) __builtin_trap();
    if (!Canonical(*back) || rebuilt.contains('\xFF')) return;
    const tablemsg::ParsedEvent third = tablemsg::parseEvent(rebuilt);
    const auto* last = std::get_if<tablemsg::Event>(&third);
    if (!last || !(*last == *back)) __builtin_trap();
}

}  // namespace

std::vector<QByteArray> Seeds() {
    const QString terms = QStringLiteral("100`1000`10`5`50`0`0`30`0`0`30");
    const QByteArray login =
        Record(Msg({130, 3}, QStringLiteral("甲`甲"))) +
        Record(Msg(
            {130, 2},
            QStringLiteral("甲`10001`1000`1000``3`66`0`2`1`0`0`5`0`0`0\n乙`10001`1000`1000``3`66`0`"
                           "2`1`0`0`5`1`0`0\n丙`10001`1000`1000`甲`3`66`0`2`1`0`0`5`0`0`0"))) +
        Record(Msg({111, 0}, QStringLiteral("1`0`0`0`0")));
    const QByteArray game =
        Record(Msg({17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0, 30})) +
        Record(Msg({19, 0, 0, 0x77, 19, 0x74, 0, 0, 0, 1})) +
        Record(Msg({19, 0, 1, 0x01, 2, 0x22, 0, 0, 0, 2})) + Record(Msg({20, 0, 1})) +
        Record(Msg({20, 2, 1})) + Record(Msg({21, 0, 1})) + Record(Msg({21, 1, 1})) +
        Record(Msg({24}, QStringLiteral("走法无效"))) +
        Record(Msg({1}, QStringLiteral("乙`所有人`乙`所有人`12:00:00`你好`#000000`0`0`"))) +
        Record(Msg({25, 0, 0, 0, 100, 255, 255, 255, 156, 1}, QStringLiteral("认输")));
    return {
        login,
        login + Record(Msg({111, 0}, QStringLiteral("1`0`0`1`0`1`0`") + terms)) +
            Record(Msg({112, 1}, QStringLiteral("乙`") + terms)) +
            Record(Msg({112, 2}, QStringLiteral("乙"))),
        login + game,
        login + Record(Msg({109, 0, 1, 0, 0, 1, 0, 10, 0, 0,    0,  30,   0,
                            1,   0, 0, 0, 0, 5, 0, 0,  0, 0x77, 19, 0x74, 0})),
        login + Record(Msg({109, 0, 0, 0, 1, 0, 1, 3, 0, 2, 0, 10, 0, 0, 0, 30, 1, 50})),
        login + Record(Msg({23, 0, 1})) + Record(Msg({23, 2, 1})) +
            Record(Msg({23, 3, 0x77, 19, 0x74, 0, 0x01, 2, 0x22, 0})) + Record(Msg({23, 4, 0})),
        login +
            Record(Msg({130, 0}, QStringLiteral("丁`10001`1000`1000`甲`3`66`0`2`1`0`0`5`0`0`0"))) +
            Record(Msg({108, 3}, QStringLiteral("乙"))) +
            Record(Msg({108, 0}, QStringLiteral("乙"))) +
            Record(Msg({108, 4}, QStringLiteral("丙"))) +
            Record(Msg({108, 6}, QStringLiteral("乙`10001`1000`1000``3`66`0`2`1`0`0`5`1`0`0"))) +
            Record(Msg({110, 0}, QStringLiteral("乙"))) + Record(Msg({130, 5, 1})) +
            Record(Msg({105, 0, 0}, QStringLiteral("公告"))) + Record(Msg({130, 1})) +
            Record(Msg({5, 0, 1}, QStringLiteral("断线"))),
    };
}
}  // namespace xq::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xq;
    Session session;
    session.strMyUserName = QStringLiteral("甲");
    InitSession(session, QStringLiteral("/nonexistent/game"));
    GameState game;
    ResetGame(game, session);
    UserSettings settings;
    fuzz::NullScreen screen;
    Table table(session, game, settings, screen, screen, QStringLiteral("/nonexistent/game"));
    screen.pool = &table.msgs;
    table.send = [](const Cmd&) {};
    fuzz::Records records(data, size, false);
    fuzz::Records::Item item;
    while (records.next(item)) {
        const Cmd& message = item.bytes;
        const std::size_t n = item.length;
        const std::size_t take = static_cast<std::size_t>(message.size());
        if (message.isEmpty()) continue;
        const tablemsg::ParsedEvent parsed = tablemsg::parseEvent(message);
        if (const auto* event = std::get_if<tablemsg::Event>(&parsed))
            fuzz::CheckRoundTrip(*event, message);
        if (isRoomCode(tablemsg::codeOf(parsed))) {
            table.roomEvent(parsed);
        } else {
            table.gameEvent(parsed);
        }
        // The user acts between messages too.
        table.onClockTick();
        table.onBoardClick(true, take % 10, n % 9);
        table.DoUserOpt(static_cast<int>(n % 7));
    }
    return 0;
}

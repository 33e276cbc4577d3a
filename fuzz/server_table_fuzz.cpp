// The server's table fed by four people who send arbitrary messages, lose their connections, come
// back (with or without the right ticket) and leave, with time passing. The input is a sequence
// of records: an action byte, a length byte, then that many bytes. Every message also goes
// through the codec and back unchanged.

#include <cstddef>
#include <cstdint>

#include "request_round_trip.h"
#include "seeds.h"
#include "server_people.h"

namespace xq::fuzz {

namespace {

// Action bytes: what a record does (the low three bits) and to whom (the next two).
enum Action { kTime = 0, kSend = 1, kDrop = 5, kLogin = 6, kLoginNoWatch = 7 };

int Act(int action, int who) {
    return action | (who << 3);
}

}  // namespace

std::vector<QByteArray> Seeds() {
    const QString terms = QStringLiteral("100`1000`10`5`50`0`0`30`0`0`30");
    const QByteArray start = Record(Msg({112, 1}, QStringLiteral("甲")), Act(kSend, 0)) +
                             Record(Msg({112, 0}, QStringLiteral("甲`") + terms), Act(kSend, 0)) +
                             Record(Msg({112, 1}, QStringLiteral("乙")), Act(kSend, 1));
    QByteArray chunk = Msg({23, 3, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0x77, 19, 0x74, 0, 0x01, 2, 0x22, 0});
    const QByteArray moves = Record(Msg({19, 0, 0, 0x77, 19, 0x74, 0, 0, 0, 0}), Act(kSend, 0)) +
                             Record(Msg({19, 0, 1, 0x01, 2, 0x22, 0, 0, 0, 0}), Act(kSend, 1));
    return {
        start,
        start + moves + Record(Msg({20, 0, 0}), Act(kSend, 0)) +
            Record(Msg({20, 2, 1}), Act(kSend, 1)) + Record(Msg({21, 0, 0}), Act(kSend, 0)) +
            Record(Msg({21, 1, 1}), Act(kSend, 1)) + Record(QByteArray(), kTime) +
            Record(Msg({22, 1, 0}), Act(kSend, 0)),
        start + Record(Msg({22, 0, 0}), Act(kSend, 0)) + Record(Msg({18, 0}), Act(kSend, 0)) +
            Record(Msg({23, 0, 0}), Act(kSend, 0)) + Record(Msg({23, 2, 1}), Act(kSend, 1)) +
            Record(chunk, Act(kSend, 0)),
        start +
            Record(Msg({1}, QStringLiteral("丙`甲`丙`甲`12:00:00`嗨`#000000`0`1`")),
                   Act(kSend, 2)) +
            Record(Msg({110, 0}, QStringLiteral("乙")), Act(kSend, 1)) +
            Record(Msg({130, 1}), Act(kSend, 2)),
        // A player drops during the game and comes back with his ticket; another tries without.
        start + moves + Record(QByteArray(), Act(kDrop, 1)) + Record(QByteArray(1, 30), kTime) +
            Record(QByteArray(1, 1), Act(kLogin, 1)) + Record(QByteArray(), Act(kDrop, 1)) +
            Record(QByteArray(1, 0), Act(kLogin, 1)) + Record(QByteArray(1, 2), Act(kLogin, 1)) +
            Record(QByteArray(), Act(kDrop, 2)) + Record(QByteArray(1, 1), Act(kLogin, 3)),
        // Both drop and the grace runs out; a spectator leaves while the table waits.
        start + moves + Record(QByteArray(), Act(kDrop, 0)) + Record(QByteArray(), Act(kDrop, 1)) +
            Record(QByteArray(1, 89), kTime) + Record(QByteArray(1, 0), Act(kLoginNoWatch, 0)) +
            Record(QByteArray(), Act(kDrop, 2)),
    };
}
}  // namespace xq::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using xq::fuzz::ServerPeople;
    ServerPeople people;
    // 甲 and 乙 come with tickets, 丙 without; 丁 arrives only when the input says so.
    people.login(0, 1, true);
    people.login(1, 2, true);
    people.login(2, 0, true);
    xq::fuzz::Records records(data, size, true);
    xq::fuzz::Records::Item item;
    while (records.next(item)) {
        const int action = item.lead & 7;
        const int who = (item.lead >> 3) & 3;
        const std::size_t n = item.length;
        const xq::Cmd& bytes = item.bytes;
        const int arg = bytes.isEmpty() ? 0 : static_cast<std::uint8_t>(bytes[0]);
        switch (action) {
            case xq::fuzz::kTime:
                // Whole seconds, up to past the grace of a dropped player.
                people.advance(1000 * (bytes.isEmpty() ? static_cast<qint64>(n % 90) : arg % 130));
                break;
            case xq::fuzz::kDrop:
                people.disconnect(who);
                break;
            case xq::fuzz::kLogin:
            case xq::fuzz::kLoginNoWatch:
                people.login(who, arg, action == xq::fuzz::kLogin);
                break;
            default:
                // Actions 1 to 4 send, so that most records are messages.
                xq::fuzz::CheckRequestRoundTrip(bytes);
                people.receive(who, bytes);
                break;
        }
    }
    return 0;
}

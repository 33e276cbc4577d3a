// What a new connection sends the server, byte by byte: frames cut from a stream that arrives in
// pieces of any size, the hello, the login, then messages to the table, with the frame length
// capped at each stage as the server caps it. A partial frame held must stay within that cap,
// and a name or ticket let through must be one the server can stand behind.
// The input: a byte giving the size of the pieces, then the stream.

#include <cstddef>
#include <cstdint>

#include "net/frame.h"
#include "request_round_trip.h"
#include "seeds.h"
#include "server/hello.h"
#include "server/inbound_frames.h"
#include "server_people.h"

namespace xq::fuzz {

namespace {

QByteArray Framed(const QByteArray& message) {
    return encodeFrame(message);
}

}  // namespace

std::vector<QByteArray> Seeds() {
    const QByteArray hello = QByteArray("XQTABLE/1`") + encodeCp936(QStringLiteral("丁`t-one"));
    const QByteArray login = QByteArray("\x82\x00", 2) + "500`DRAK`1";
    const QByteArray in = Framed(hello) + Framed(login);
    return {
        QByteArray(1, 7) + in +
            Framed(Msg({1}, QStringLiteral("丁`所有人`丁`所有人`12:00:00`嗨`#000000`0`0`"))),
        QByteArray(1, 1) + Framed(QByteArray("XQTABLE/1`") + encodeCp936(QStringLiteral("甲"))) +
            Framed(login) + Framed(Msg({112, 1}, QStringLiteral("甲"))),
        QByteArray(1, char(0xC8)) + Framed(QByteArray("XQTABLE/1`name`-")) + Framed(login),
        QByteArray(1, 3) + in + QByteArray("\x00\x00\x08\x01", 4) + QByteArray(100, 'x'),
    };
}
}  // namespace xq::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xq::server;
    if (size == 0) return 0;
    xq::fuzz::ServerPeople people;
    people.login(0, 1, true);
    people.login(1, 2, true);
    const std::size_t piece = 1 + data[0];
    enum class Stage { Hello, Login, In, Closed } stage = Stage::Hello;
    InboundFrames frames;
    Hello hello;
    ConnId newcomer = 0;
    for (std::size_t at = 1; at < size && stage != Stage::Closed; at += piece) {
        const std::size_t n = piece < size - at ? piece : size - at;
        frames.append(
            QByteArrayView(reinterpret_cast<const char*>(data + at), static_cast<qsizetype>(n)));
        QByteArray frame;
        while (stage != Stage::Closed) {
            const std::uint32_t limit = stage == Stage::Hello   ? xq::kMaxFirstFrameBytes
                                        : stage == Stage::Login ? xq::kLoginBytes
                                                                : RoomTable::kMaxChatBytes;
            const InboundFrames::Next next = frames.next(limit, frame);
            if (next == InboundFrames::Next::Broken) {
                stage = Stage::Closed;
                break;
            }
            if (next == InboundFrames::Next::More) {
                if (frames.pendingBytes() > 4 + static_cast<qsizetype>(limit)) __builtin_trap();
                break;
            }
            if (frame.isEmpty() || frame.size() > static_cast<qsizetype>(limit)) __builtin_trap();
            if (stage == Stage::Hello) {
                // An account's hello goes to the password check: only its shape is read here,
                // and the name ends at the first separator.
                if (const auto account = parseAccountHello(frame)) {
                    if (account->name.contains(u'`')) __builtin_trap();
                    stage = Stage::Closed;
                    break;
                }
                const auto parsed = parseHello(frame);
                if (!parsed) {
                    stage = Stage::Closed;
                    break;
                }
                if (!isValidName(parsed->name) || parsed->ticket.size() > xq::kMaxTicketLength ||
                    parsed->ticket == u"-")
                    __builtin_trap();
                hello = *parsed;
                stage = Stage::Login;
            } else if (stage == Stage::Login) {
                const auto allowWatch = parseLogin(frame);
                if (!allowWatch) {
                    stage = Stage::Closed;
                    break;
                }
                newcomer = people.arrive(hello.name, *allowWatch, hello.ticket);
                stage = Stage::In;
            } else {
                xq::fuzz::CheckRequestRoundTrip(frame);
                people.receiveOn(newcomer, frame);
            }
        }
    }
    return 0;
}

// Uploading a stored record to the server's table: after the two players have agreed to a load,
// the asker sends chunks whose headers and moves come from the input, while the other side, a
// spectator and time may interfere. Alongside, the chunk assembler alone is held to its promise:
// a complete record has exactly as many moves as announced, never more than the cap.
// The input is a sequence of records: an action byte, a length byte, then that many bytes.

#include <cstddef>
#include <cstdint>

#include "net/table_requests.h"
#include "request_round_trip.h"
#include "seeds.h"
#include "server/record_upload.h"
#include "server_people.h"

namespace xq::fuzz {

namespace {

// Action bytes (the low two bits): a chunk from the asker, a chunk from somebody else (the next
// two bits say who), any message from the asker, time.
enum Action { kChunk = 0, kChunkFromOther = 1, kMessage = 2, kTime = 3 };

QByteArray Long(qint32 v) {
    QByteArray b(4, '\0');
    for (int k = 0; k < 4; ++k)
        b[k] = static_cast<char>((static_cast<quint32>(v) >> (24 - 8 * k)) & 0xff);
    return b;
}

QByteArray ChunkBody(qint32 total, qint32 before, const QByteArray& moves) {
    return Long(total) + Long(before) + moves;
}

// The assembler fed as the table feeds it: a chunk, the player's giving up, or a malformed chunk.
xq::server::RecordUpload::Step Feed(xq::server::RecordUpload& up, const QByteArray& frame,
                                    qint32& total) {
    const tablemsg::ParsedRequest parsed = tablemsg::parseRequest(frame);
    const auto* request = std::get_if<tablemsg::Request>(&parsed);
    if (const auto* chunk = request ? std::get_if<tablemsg::RecordChunk>(request) : nullptr) {
        total = chunk->total;
        return up.add(*chunk);
    }
    if (request && std::holds_alternative<tablemsg::LoadAbandoned>(*request)) return up.giveUp();
    return xq::server::RecordUpload::Step::Refused;
}

// Both seated and no hand raised: 甲 asks to load and 乙 agrees.
void Agree(ServerPeople& people) {
    people.receive(0, Msg({23, 0, 0}));
    people.receive(1, Msg({23, 2, 1}));
}

}  // namespace

std::vector<QByteArray> Seeds() {
    const QByteArray two("\x77\x13\x74\x00\x01\x02\x22\x00", 8);
    QByteArray many;
    for (int k = 0; k < 25; ++k)
        many += two;
    return {
        Record(ChunkBody(2, 0, two), kChunk),
        Record(ChunkBody(4, 0, two), kChunk) + Record(ChunkBody(4, 2, two), kChunk),
        Record(ChunkBody(100, 0, many), kChunk) + Record(QByteArray(1, 20), kTime) +
            Record(ChunkBody(100, 50, many), kChunk),
        Record(ChunkBody(2, 0, two), kChunkFromOther | 4) + Record(ChunkBody(0, 0, {}), kChunk),
        Record(ChunkBody(4, 0, two), kChunk) + Record(QByteArray(1, 121), kTime) +
            Record(Msg({22, 0, 0}), kMessage),
    };
}
}  // namespace xq::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xq::fuzz;
    using xq::server::RecordUpload;
    ServerPeople people;
    people.login(0, 1, true);
    people.login(1, 2, true);
    people.login(2, 0, true);
    Agree(people);
    // The set-up must reach the upload, or the input never would.
    if (people.table.phase() != xq::server::TablePhase::Loading) __builtin_trap();
    RecordUpload alone;
    xq::fuzz::Records records(data, size, true);
    xq::fuzz::Records::Item item;
    while (records.next(item)) {
        const std::uint8_t act = item.lead;
        const std::size_t n = item.length;
        const QByteArray& bytes = item.bytes;
        switch (act & 3) {
            case kChunk:
            case kChunkFromOther: {
                const int who = (act & 3) == kChunk ? 0 : (act >> 2) & 3;
                const xq::Cmd chunk = Msg({23, 3, who == 1 ? 1 : 0}) + bytes;
                CheckRequestRoundTrip(chunk);
                people.receive(who, chunk);
                if (who != 0) break;
                qint32 total = 0;
                const RecordUpload::Step step = Feed(alone, chunk, total);
                if (step == RecordUpload::Step::Complete) {
                    if (static_cast<qint32>(alone.moves().size()) != total ||
                        total > RecordUpload::kMaxMoves)
                        __builtin_trap();
                }
                if (step != RecordUpload::Step::NeedMore) alone.reset();
                break;
            }
            case kMessage:
                CheckRequestRoundTrip(bytes);
                people.receive(0, bytes);
                break;
            default:
                people.advance(1000 * (bytes.isEmpty() ? static_cast<qint64>(n)
                                                       : static_cast<std::uint8_t>(bytes[0])));
                break;
        }
    }
    return 0;
}

// The server's table fed with arbitrary messages from three participants, with time passing.
// The input is a sequence of records: a sender byte, a length byte, then that many bytes.

#include <cstddef>
#include <cstdint>

#include "seeds.h"
#include "server/table.h"

namespace xq::fuzz {

std::vector<QByteArray> Seeds() {
    const QString terms = QStringLiteral("100`1000`10`5`50`0`0`30`0`0`30");
    const QByteArray start = Record(Msg({112, 1}, QStringLiteral("甲")), 1) +
                             Record(Msg({112, 0}, QStringLiteral("甲`") + terms), 1) +
                             Record(Msg({112, 1}, QStringLiteral("乙")), 2);
    QByteArray chunk = Msg({23, 3, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0x77, 19, 0x74, 0, 0x01, 2, 0x22, 0});
    return {
        start,
        start + Record(Msg({19, 0, 0, 0x77, 19, 0x74, 0, 0, 0, 0}), 1) +
            Record(Msg({19, 0, 1, 0x01, 2, 0x22, 0, 0, 0, 0}), 2) + Record(Msg({20, 0, 0}), 1) +
            Record(Msg({20, 2, 1}), 2) + Record(Msg({21, 0, 0}), 1) + Record(Msg({21, 1, 1}), 2) +
            Record(QByteArray(), 0) + Record(Msg({22, 1, 0}), 1),
        start + Record(Msg({22, 0, 0}), 1) + Record(Msg({18, 0}), 1) + Record(Msg({23, 0, 0}), 1) +
            Record(Msg({23, 2, 1}), 2) + Record(chunk, 1),
        start + Record(Msg({1}, QStringLiteral("丙`甲`丙`甲`12:00:00`嗨`#000000`0`1`")), 3) +
            Record(Msg({110, 0}, QStringLiteral("乙")), 2) + Record(Msg({130, 1}), 3),
    };
}
}  // namespace xq::fuzz

namespace {

class Sink : public xq::server::TableOutput {
public:
    void send(const xq::server::ConnIds&, const xq::Cmd&) override {}
    void close(xq::server::ConnId) override {}
    void log(const QString&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Sink sink;
    xq::server::Table table(sink);
    table.login(1, QStringLiteral("甲"), true);
    table.login(2, QStringLiteral("乙"), true);
    table.login(3, QStringLiteral("丙"), true);
    qint64 now = 0;
    std::size_t i = 0;
    while (i + 1 < size) {
        const int who = data[i] % 4;
        const std::size_t n = data[i + 1];
        i += 2;
        const std::size_t take = n < size - i ? n : size - i;
        const xq::Cmd message(reinterpret_cast<const char*>(data + i),
                              static_cast<qsizetype>(take));
        i += take;
        if (who == 0) {
            now += 1000 * (n % 90);
            table.advanceTo(now);
        } else {
            table.receive(static_cast<xq::server::ConnId>(who), message);
        }
    }
    return 0;
}

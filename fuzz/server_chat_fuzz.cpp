// The server's chat relay: four people at a table send chat lines, well formed, in another's
// name, or plain bytes, while time passes. Whatever is relayed must be a line its sender sent,
// in his own name, to the people it names, and no faster than the rate allows; it shows as one
// line (no line break in any field, a time of day in the time field, one addressee) and differs
// from what was sent only by blanks where the text had line breaks.
// The input is a sequence of records: an action byte, a length byte, then that many bytes.

#include <QList>
#include <QRegularExpression>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "net/codec.h"
#include "net/leading_number.h"
#include "net/table_requests.h"
#include "request_round_trip.h"
#include "seeds.h"
#include "server_people.h"

namespace xq::fuzz {

namespace {

constexpr xq::server::ChatRate kRate{};

// Action bytes: the sender (the low two bits) and how the line is made (the next two).
enum Form { kRaw = 0, kOwnName = 1, kOtherName = 2, kWait = 3 };

int Act(int who, Form form, int other = 0) {
    return who | (form << 2) | (other << 4);
}

// A line of ten fields as clients write it, the text and its addressee from the input.
Cmd ChatLine(const QString& speaker, const QString& shownSpeaker, const QString& to,
             const QByteArray& text, bool privately) {
    QString words;
    decodeCp936(text, words);
    return tablemsg::encode(
        tablemsg::Chat{{speaker, to, shownSpeaker, to, QStringLiteral("12:00:00"), words,
                        QStringLiteral("#000000"), QStringLiteral("0"),
                        privately ? QStringLiteral("1") : QStringLiteral("0"), QString()}});
}

// The fields of a chat line as the server reads them; nothing when it is no chat line.
std::optional<QStringList> FieldsOf(const Cmd& line) {
    const tablemsg::ParsedRequest parsed = tablemsg::parseRequest(line);
    const auto* request = std::get_if<tablemsg::Request>(&parsed);
    const auto* chat = request ? std::get_if<tablemsg::Chat>(request) : nullptr;
    if (!chat) return std::nullopt;
    return chat->fields;
}

// Anything that would end a shown line: C0 and C1 controls, DEL, the Unicode line and paragraph
// separators.
bool BreaksLine(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
}

// The relayed line is the sent one, but for blanks where the text (field 5) broke the line.
bool SameButBlankedBreaks(const Cmd& relayed, const Cmd& sent) {
    if (relayed == sent) return true;
    const auto relayedFields = FieldsOf(relayed);
    const auto sentFields = FieldsOf(sent);
    if (!relayedFields || !sentFields) return false;
    const QStringList& r = *relayedFields;
    const QStringList& s = *sentFields;
    for (qsizetype i = 0; i < r.size(); ++i) {
        if (i != 5 && r[i] != s[i]) return false;
    }
    if (r[5].size() != s[5].size() || r[5] == s[5]) return false;
    for (qsizetype k = 0; k < r[5].size(); ++k) {
        if (r[5][k] != s[5][k] && !(BreaksLine(s[5][k]) && r[5][k] == u' ')) return false;
    }
    return true;
}

class Relay : public ServerPeople {
public:
    int sender = -1;
    Cmd sent;

protected:
    void onSend(const server::ConnIds& to, const Cmd& message) override {
        if (tablemsg::frameHead(message).code != 1) return;
        // Only the line just sent, as it was sent, by the one who sent it.
        if (sender < 0 || !SameButBlankedBreaks(message, sent)) __builtin_trap();
        const auto read = FieldsOf(message);
        if (!read) __builtin_trap();
        const QStringList& fields = *read;
        if (fields[0] != name(sender) || fields[2] != name(sender)) __builtin_trap();
        // One line in every pane: the person delivered to is the one shown, the time is a time.
        static const QRegularExpression time(
            QStringLiteral("^([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]$"));
        if (fields[1] != fields[3] || !time.match(fields[4]).hasMatch()) __builtin_trap();
        for (const QString& field : fields) {
            for (QChar c : field) {
                if (BreaksLine(c)) __builtin_trap();
            }
        }
        if (leadingNumber(fields[8]) > 0) {
            for (server::ConnId id : to) {
                if (id != conn(sender) && name(Owner(id)) != fields[1]) __builtin_trap();
            }
        }
        // No more than the burst and one line per interval since any earlier relayed line.
        std::vector<qint64>& times = relayed_[static_cast<std::size_t>(sender)];
        times.push_back(now());
        const std::size_t last = times.size() - 1;
        for (std::size_t k = 0; k < last; ++k) {
            const qint64 allowed = kRate.burst + (times[last] - times[k]) / kRate.intervalMs;
            if (static_cast<qint64>(last - k + 1) > allowed) __builtin_trap();
        }
        sender = -1;  // one relay per line
    }

private:
    int Owner(server::ConnId id) const {
        for (int who = 0; who < kCount; ++who) {
            if (conn(who) == id) return who;
        }
        return -1;
    }

    std::array<std::vector<qint64>, kCount> relayed_;
};

}  // namespace

std::vector<QByteArray> Seeds() {
    const QByteArray hello = encodeCp936(QStringLiteral("大家好"));
    QByteArray flood;
    for (int k = 0; k < 12; ++k)
        flood += Record(hello, Act(3, kOwnName, k % 4));
    return {
        Record(hello, Act(0, kOwnName, 1)) + Record(hello, Act(2, kOwnName, 0)),
        Record(hello, Act(2, kOtherName, 0)) + Record(hello, Act(1, kOtherName, 2)),
        flood + Record(QByteArray(1, 3), Act(0, kWait)) + flood,
        // Raw lines: the chat code is put in front of the record's bytes.
        Record(Msg({}, QStringLiteral("丙`甲`丙`甲`12:00:00`嗨`#000000`0`1`")), Act(2, kRaw)) +
            Record(Msg({}, QStringLiteral("丙`所有人`甲`所有人`12:00:00`我认输了`#0`0`0`")),
                   Act(2, kRaw)),
        // A line break in the text, a speaker in the time, two addressees.
        Record(encodeCp936(QStringLiteral("好\r\n[12:00:01] 乙 说：我认输")), Act(1, kOwnName, 0)) +
            Record(Msg({}, QStringLiteral("丙`所有人`丙`所有人`12:00:00] 系统 说：x`嗨`#0`0`0`")),
                   Act(2, kRaw)) +
            Record(Msg({}, QStringLiteral("丙`甲`丙`乙`12:00:00`嗨`#0`0`1`")), Act(2, kRaw)),
    };
}
}  // namespace xq::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xq::fuzz;
    Relay relay;
    for (int who = 0; who < ServerPeople::kCount; ++who)
        relay.login(who, who, true);
    Records records(data, size, true);
    Records::Item item;
    while (records.next(item)) {
        const std::uint8_t act = item.lead;
        const int who = act & 3;
        const auto form = static_cast<Form>((act >> 2) & 3);
        const int other = (act >> 4) & 3;
        const bool privately = (act & 0x40) != 0;
        const std::size_t n = item.length;
        const QByteArray& bytes = item.bytes;
        if (form == kWait) {
            // Tenths of a second up to 25.5 s; the first byte gives it, else the length.
            relay.advance(100 * (bytes.isEmpty() ? static_cast<qint64>(n)
                                                 : static_cast<std::uint8_t>(bytes[0])));
            continue;
        }
        xq::Cmd line;
        if (form == kRaw) {
            line = xq::Cmd(1, char(1)) + bytes;
        } else {
            // In another's name: in the shown field only, or (the top bit) in both.
            const QString speaker = ServerPeople::name(who);
            const QString shown = form == kOwnName ? speaker : ServerPeople::name(other);
            const QString field0 = form == kOtherName && (act & 0x80) ? shown : speaker;
            line = ChatLine(field0, shown, ServerPeople::name(other), bytes, privately);
        }
        CheckRequestRoundTrip(line);
        relay.sender = who;
        relay.sent = line;
        relay.receive(who, line);
        relay.sender = -1;
    }
    return 0;
}

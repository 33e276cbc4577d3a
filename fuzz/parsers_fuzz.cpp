// The readers of outside text: frames, message text, record files, the settings file and the
// command line. The first input byte picks the reader.

#include <cstddef>
#include <cstdint>

#include "game/game_state.h"
#include "net/codec.h"
#include "net/frame.h"
#include "prefs/user_settings.h"
#include "records/record_file.h"
#include "rules/history.h"
#include "seeds.h"
#include "startup/command_line.h"

namespace xq::fuzz {

std::vector<QByteArray> Seeds() {
    return {
        QByteArray(1, '\0') + QByteArray("\x00\x00\x00\x03\x82\x00\x41\x00\x00\x00\x01\x13", 12),
        QByteArray(1, '\1') + Msg({130, 2}, QStringLiteral("中文`text`\u20ac")) +
            QByteArray("\xd6", 1),
        QByteArray(1, '\2') + QByteArray("119#19#116#0\r\n1#2#34#0\r\n300#12abc#7#x,5#6#7#8\n"),
        QByteArray(1, '\3') + QByteArray(" 1 \r\n 0 \r\n 1 \r\n 1 \r\n 1 \r\n 3 \r\n 2 \r\n"),
        QByteArray(1, '\4') +
            QByteArray("TOKEN 127.0.0.1 5000 \xe4\xb8\xad a_1`b_2 - - \xe7\x94\xb2 1"),
    };
}
}  // namespace xq::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xq;
    if (size == 0) return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    switch (data[0] % 5) {
        case 0: {
            FrameReader reader;
            for (qsizetype i = 0; i < bytes.size(); i += 7)
                reader.feed(QByteArrayView(bytes).sliced(i, qMin<qsizetype>(7, bytes.size() - i)));
            while (reader.hasFrame())
                reader.takeFrame();
            break;
        }
        case 1: {
            for (int start = -1; start < 4; ++start)
                (void)CmdToString(bytes, start);
            std::int32_t v = 0;
            GetLongFromCmd(v, bytes, data[0] >> 3);
            break;
        }
        case 2: {
            QiPuHistory history;
            if (ParseQiPuText(bytes, history)) {
                QiPan board{};
                ReplayQiPu(history, board);
                for (long k = 1; k <= QiPuUpperBound(history); ++k)
                    (void)QiPuLine(history, k);
            }
            break;
        }
        case 3: {
            UserSettings s;
            ParseUserSetText(bytes, s);
            break;
        }
        case 4: {
            Session s;
            CheckCommandLine(QString::fromUtf8(bytes), s);
            break;
        }
    }
    return 0;
}

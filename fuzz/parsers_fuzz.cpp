// The readers of outside text: frames, message text, record files (.drak and PGN), FEN positions,
// the settings file, the command line and the hall's messages. The first input byte picks the
// reader.

#include <cstddef>
#include <cstdint>

#include "game/game_state.h"
#include "net/codec.h"
#include "net/frame.h"
#include "net/hall_messages.h"
#include "prefs/user_settings.h"
#include "records/pgn_file.h"
#include "records/pgn_reader.h"
#include "records/pgn_writer.h"
#include "records/record_file.h"
#include "rules/fen.h"
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
        QByteArray(1, '\5') + QByteArray("[Game \"Chinese Chess\"]\n1. h2e2 h9g7 2. h0g2 {c} "
                                         "(1... c6c5) i9h9 *\n"),
        QByteArray(1, '\5') +
            QStringLiteral("1. 炮二平五 马８进７ 2. 炮五进四 士4进5 3. C8.5 象3进5 "
                           "4. 前炮退二 车9平8 *")
                .toUtf8(),
        QByteArray(1, '\5') + QByteArray("[FEN \"3ak4/4a4/9/9/9/9/9/9/4R4/3K5 w - - 0 1\"]\n"
                                         "1. e1e7 *"),
        QByteArray(1, '\6') + QByteArray("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/"
                                         "RNBAKABNR w - - 0 1"),
        QByteArray(1, '\7') +
            hall::playerList({hall::PlayerRow{QStringLiteral("张三"), 10001, 1100, 3, 2, 1, 0, 0, 7,
                                              2, hall::Place::Watch}}),
        QByteArray(1, '\7') +
            hall::tableList({hall::TableRow{1, {QStringLiteral("甲"), {}}, {1000, 0}, 3, true}}),
        QByteArray(1, '\7') + hall::reserveSeat(12, 1),
    };
}
}  // namespace xq::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xq;
    if (size == 0) return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    switch (data[0] % 8) {
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
            if (parseQiPuText(bytes, history)) {
                QiPan board{};
                replayQiPu(history, board);
                for (long k = 1; k <= qiPuUpperBound(history); ++k)
                    (void)qiPuLine(history, k);
            }
            break;
        }
        case 3: {
            UserSettings s;
            parseUserSetText(bytes, s);
            break;
        }
        case 4: {
            Session s;
            checkCommandLine(QString::fromUtf8(bytes), s);
            break;
        }
        case 5: {
            // A game that reads is written in each notation and reads back as the same game.
            GameRecord game;
            if (!readPgn(decodePgnBytes(bytes), game)) break;
            for (MoveNotation n : {MoveNotation::Iccs, MoveNotation::Chinese, MoveNotation::Wxf}) {
                QByteArray text;
                if (!writePgn(game, n, &text)) __builtin_trap();
                GameRecord again;
                if (!readPgn(QString::fromUtf8(text), again)) __builtin_trap();
                if (again.moves != game.moves || toFen(again.start) != toFen(game.start))
                    __builtin_trap();
            }
            break;
        }
        case 6: {
            // A position that reads writes a FEN that reads as itself.
            const std::string text = bytes.toStdString();
            const auto pos = parseFen(text);
            if (!pos) break;
            const std::string written = toFen(*pos);
            const auto again = parseFen(written);
            if (!again || toFen(*again) != written) __builtin_trap();
            break;
        }
        case 7: {
            // Either side's message; the rows a server message carries write and read as
            // themselves.
            (void)hall::parseClientMessage(bytes);
            const auto m = hall::parseServerMessage(bytes);
            if (!m) break;
            if (const auto* players = std::get_if<hall::in::Players>(&*m)) {
                const auto again = hall::parseServerMessage(hall::playerList(players->rows));
                if (!again || std::get<hall::in::Players>(*again).rows != players->rows)
                    __builtin_trap();
            }
            if (const auto* tables = std::get_if<hall::in::Tables>(&*m)) {
                const auto again = hall::parseServerMessage(hall::tableList(tables->rows));
                if (!again || std::get<hall::in::Tables>(*again).rows != tables->rows)
                    __builtin_trap();
            }
            break;
        }
    }
    return 0;
}

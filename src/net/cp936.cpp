#include "net/cp936.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace xq {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';
// Windows gives the code page one single byte above 127: 0x80 is the euro sign.
constexpr unsigned char kEuroByte = 0x80;
constexpr char16_t kEuro = u'\u20AC';

bool singleByte(unsigned char b) {
    return b <= 127 || b == kEuroByte;
}

bool leadByteOfDecoder(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}
bool trailByteOfDecoder(unsigned char b) {
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

// True when every byte the encoder wrote reads back as the unit it stands for: the encoder gives
// U+F8F5 the lone byte 0xFF, which a reader takes for the first half of a pair.
bool readsBack(QByteArrayView bytes) {
    for (qsizetype i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (singleByte(b)) {
            ++i;
        } else if (leadByteOfDecoder(b) && i + 1 < bytes.size()) {
            i += 2;
        } else {
            return false;
        }
    }
    return true;
}

// Opening a converter looks its name up among all of ICU's: one per thread, made once and reset
// before each use, costs nothing of that. An error sticks to a converter through resetState(),
// so after one the converter is made anew.
template <typename Converter>
Converter& gbk() {
    thread_local Converter converter("GBK");
    if (converter.hasError()) {
        converter = Converter("GBK");
    } else {
        converter.resetState();
    }
    return converter;
}
QStringEncoder& gbkEncoder() {
    return gbk<QStringEncoder>();
}
QStringDecoder& gbkDecoder() {
    return gbk<QStringDecoder>();
}

bool isAscii(QByteArrayView bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) > 127) return false;
    }
    return true;
}

QString decodePair(unsigned char lead, unsigned char trail) {
    QStringDecoder& decoder = gbkDecoder();
    const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    QString s = decoder.decode(QByteArrayView(pair, 2));
    if (decoder.hasError() || s.size() != 1 || s[0] == kReplacement) return QStringLiteral("?");
    return s;
}

}  // namespace

QByteArray encodeCp936(QStringView text) {
    // Most of what travels is digits, separators and Latin names: the same bytes in every form.
    bool ascii = true;
    for (const QChar ch : text) {
        if (ch.unicode() > 127) {
            ascii = false;
            break;
        }
    }
    if (ascii) return text.toLatin1();
    QStringEncoder& encoder = gbkEncoder();
    QByteArray out = encoder.encode(text);
    if (!encoder.hasError() && readsBack(out)) return out;
    // Some unit has no form in the code page that reads back: encode unit by unit so that each
    // such unit, and each half of a surrogate pair, becomes exactly one "?".
    out.clear();
    for (QChar ch : text) {
        if (ch.isSurrogate()) {
            out.append('?');
            continue;
        }
        QStringEncoder& single = gbkEncoder();
        const QByteArray bytes = single.encode(QStringView(&ch, 1));
        const bool usable = !single.hasError() && !bytes.isEmpty() && readsBack(bytes);
        out.append(usable ? bytes : QByteArray("?"));
    }
    return out;
}

bool decodeCp936(QByteArrayView bytes, QString& text) {
    if (isAscii(bytes)) {
        text = QString::fromLatin1(bytes);
        return true;
    }
    const qsizetype n = bytes.size();
    bool decoderAgrees = true;  // every pair is one the decoder itself would read as a pair
    for (qsizetype i = 0; i < n;) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (singleByte(b)) {
            ++i;
            continue;
        }
        if (i + 1 >= n) return false;
        decoderAgrees = decoderAgrees && leadByteOfDecoder(b) &&
                        trailByteOfDecoder(static_cast<unsigned char>(bytes[i + 1]));
        i += 2;
    }
    if (decoderAgrees) {
        QStringDecoder& decoder = gbkDecoder();
        text = decoder.decode(bytes);
        text.replace(QChar(kReplacement), u'?');
        return true;
    }
    text.clear();
    for (qsizetype i = 0; i < n;) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (singleByte(b)) {
            text.append(b == kEuroByte ? QChar(kEuro) : QChar(b));
            ++i;
        } else {
            text.append(decodePair(b, static_cast<unsigned char>(bytes[i + 1])));
            i += 2;
        }
    }
    return true;
}

qsizetype cp936CharLength(QByteArrayView bytes, qsizetype at) {
    if (at < 0 || at >= bytes.size()) return 0;
    if (singleByte(static_cast<unsigned char>(bytes[at]))) return 1;
    return at + 1 < bytes.size() ? 2 : 0;
}

bool canEncodeCp936(QStringView text) {
    QString back;
    return decodeCp936(encodeCp936(text), back) && back == text;
}

}  // namespace xq

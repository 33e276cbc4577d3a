#include "records/record_file.h"

#include <QFile>
#include <QFileInfo>

#include "net/cp936.h"
#include "net/leading_number.h"
#include "records/atomic_write.h"

namespace xq {
namespace {

// Far beyond any real game (a few thousand bytes); a larger file is not a record.
constexpr qint64 kMaxRecordBytes = 8 * 1024 * 1024;

// A part of a move line: its leading number, rounded; outside 0..255 it gives 0.
std::uint8_t recordByte(const QString& part) {
    const std::int32_t v = leadingLong(part);
    return (v >= 0 && v <= 255) ? static_cast<std::uint8_t>(v) : 0;
}

}  // namespace

QByteArray qiPuFileText(const QiPuHistory& history) {
    QByteArray out;
    for (long k = 1; k <= qiPuUpperBound(history); ++k) {
        const QiPuItem& m = history[static_cast<std::size_t>(k)];
        out += QByteArray::number(m.bteFromPos) + '#' + QByteArray::number(m.bteQiZi) + '#' +
               QByteArray::number(m.bteToPos) + '#' + QByteArray::number(m.bteEatQiZi) + "\r\n";
    }
    return out;
}

bool SaveQiPuFile(const QString& path, const QiPuHistory& history, QString* error) {
    return writeFileAtomically(path, qiPuFileText(history), error);
}

bool parseQiPuText(const QByteArray& text, QiPuHistory& history) {
    QiPuHistory read{QiPuItem{}};
    // Items end at a line end or at a comma; the end of the text after a line end is no item.
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        qsizetype end = i;
        while (end < n && text[end] != '\r' && text[end] != '\n' && text[end] != ',')
            ++end;
        const QString item = QString::fromLatin1(text.mid(i, end - i));
        const QStringList parts = item.split(u'#');
        if (parts.size() != 4) return false;
        read.push_back(QiPuItem{recordByte(parts[0]), recordByte(parts[1]), recordByte(parts[2]),
                                recordByte(parts[3])});
        if (end < n && text[end] == '\r' && end + 1 < n && text[end + 1] == '\n') ++end;
        i = end + 1;
    }
    history = std::move(read);
    return true;
}

bool LoadQiPuFile(const QString& path, QiPuHistory& history) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || file.size() > kMaxRecordBytes) return false;
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray text = file.read(kMaxRecordBytes + 1);
    if (text.size() > kMaxRecordBytes) return false;
    return parseQiPuText(text, history);
}

QByteArray textRecordBytes(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines)
        out += encodeCp936(line) + "\r\n";
    return out;
}

bool saveTextRecord(const QString& path, const QStringList& lines, QString* error) {
    return writeFileAtomically(path, textRecordBytes(lines), error);
}

}  // namespace xq

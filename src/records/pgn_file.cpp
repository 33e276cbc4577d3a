#include "records/pgn_file.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "net/cp936.h"

namespace xq {
namespace {

// Collections of many games run to a few megabytes; only the first game is read.
constexpr qint64 kMaxPgnBytes = 8 * 1024 * 1024;

}  // namespace

QString decodePgnBytes(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    QString cp936;
    // A cut-off last character is no reason to refuse the rest.
    if (!decodeCp936(bytes, cp936) && !decodeCp936(bytes.chopped(1), cp936)) return text;
    return cp936;
}

bool loadPgnFile(const QString& path, GameRecord& game, PgnError* error) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || file.size() > kMaxPgnBytes ||
        !file.open(QIODevice::ReadOnly)) {
        if (error != nullptr) *error = PgnError{};
        return false;
    }
    const QByteArray bytes = file.read(kMaxPgnBytes + 1);
    if (bytes.size() > kMaxPgnBytes) {
        if (error != nullptr) *error = PgnError{};
        return false;
    }
    return readPgn(decodePgnBytes(bytes), game, error);
}

}  // namespace xq

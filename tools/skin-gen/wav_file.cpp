#include "wav_file.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include "skin_error.h"

namespace skingen {

namespace {

void put32(QByteArray& out, std::uint32_t v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void put16(QByteArray& out, std::uint16_t v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

}  // namespace

QByteArray wavBytes(const std::vector<std::int16_t>& samples, int sampleRate) {
    constexpr std::uint16_t kChannels = 1;
    constexpr std::uint16_t kBits = 16;
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * sizeof(std::int16_t));
    QByteArray out;
    out.reserve(static_cast<qsizetype>(44 + dataSize));
    out.append("RIFF");
    put32(out, 36 + dataSize);
    out.append("WAVEfmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, kChannels);
    put32(out, static_cast<std::uint32_t>(sampleRate));
    put32(out, static_cast<std::uint32_t>(sampleRate) * kChannels * kBits / 8);
    put16(out, kChannels * kBits / 8);
    put16(out, kBits);
    out.append("data");
    put32(out, dataSize);
    for (const std::int16_t s : samples)
        put16(out, static_cast<std::uint16_t>(s));
    return out;
}

void writeWav(const QString& path, const std::vector<std::int16_t>& samples, int sampleRate) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(wavBytes(samples, sampleRate)) < 0 ||
        !file.commit())
        throw SkinError((path + QStringLiteral(": ") + file.errorString()).toStdString());
}

}  // namespace skingen

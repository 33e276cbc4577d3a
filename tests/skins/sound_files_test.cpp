// The twelve wave files: valid 16-bit mono PCM that any player takes, short, audible and each
// one its own sound.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QSet>
#include <QtEndian>
#include <cstdlib>
#include <optional>

#include "hall_files.h"

namespace {

struct Wave {
    int channels = 0;
    int rate = 0;
    int bits = 0;
    QByteArray data;
};

// A small RIFF reader of our own, so that a writer fault cannot hide behind a shared parser.
std::optional<Wave> readWave(const QByteArray& bytes) {
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") return {};
    if (qFromLittleEndian<quint32>(bytes.constData() + 4) != static_cast<quint32>(bytes.size() - 8))
        return {};
    Wave wave;
    bool format = false;
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const auto size =
            static_cast<qsizetype>(qFromLittleEndian<quint32>(bytes.constData() + at + 4));
        const qsizetype body = at + 8;
        if (body + size > bytes.size()) return {};
        if (id == "fmt ") {
            if (size < 16 || qFromLittleEndian<quint16>(bytes.constData() + body) != 1) return {};
            wave.channels = qFromLittleEndian<quint16>(bytes.constData() + body + 2);
            wave.rate = static_cast<int>(qFromLittleEndian<quint32>(bytes.constData() + body + 4));
            const auto byteRate = qFromLittleEndian<quint32>(bytes.constData() + body + 8);
            const auto align = qFromLittleEndian<quint16>(bytes.constData() + body + 12);
            wave.bits = qFromLittleEndian<quint16>(bytes.constData() + body + 14);
            if (align != wave.channels * wave.bits / 8 ||
                byteRate != static_cast<quint32>(wave.rate) * align)
                return {};
            format = true;
        } else if (id == "data") {
            wave.data = bytes.mid(body, size);
        }
        at = body + size + (size & 1);
    }
    if (!format || wave.data.isEmpty()) return {};
    return wave;
}

const char* const kSounds[] = {"Error",    "Go",         "Eat",         "Jiang",
                               "Select",   "Begin",      "Warning",     "GameWin",
                               "GameFail", "PangGuanIn", "PangGuanOut", "TimeOver"};

TEST(SoundFiles, EachIsShortAudibleMonoPcm) {
    for (const char* name : kSounds) {
        SCOPED_TRACE(name);
        QFile file(hallPath(QStringLiteral("game/Sound/%1.wav").arg(name)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const auto wave = readWave(file.readAll());
        ASSERT_TRUE(wave.has_value());
        EXPECT_EQ(wave->channels, 1);
        EXPECT_EQ(wave->bits, 16);
        ASSERT_GE(wave->rate, 8000);
        const double seconds = wave->data.size() / 2.0 / wave->rate;
        EXPECT_GT(seconds, 0.03);
        EXPECT_LT(seconds, 1.5);
        int peak = 0;
        for (qsizetype i = 0; i + 1 < wave->data.size(); i += 2)
            peak = std::max(
                peak,
                std::abs(static_cast<int>(qFromLittleEndian<qint16>(wave->data.constData() + i))));
        EXPECT_GT(peak, 8000) << "too quiet";
        EXPECT_LT(peak, 32767) << "clipped";
    }
}

TEST(SoundFiles, AllTwelveSoundDifferent) {
    QSet<QByteArray> digests;
    for (const char* name : kSounds) {
        QFile file(hallPath(QStringLiteral("game/Sound/%1.wav").arg(name)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        digests.insert(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1));
    }
    EXPECT_EQ(digests.size(), static_cast<qsizetype>(std::size(kSounds)));
}

TEST(SoundFiles, ReaderRejectsBrokenFiles) {
    // The reader above must itself catch the faults it is there for.
    QFile file(hallPath(QStringLiteral("game/Sound/Go.wav")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray good = file.readAll();
    ASSERT_TRUE(readWave(good).has_value());
    QByteArray truncated = good.left(good.size() - 10);
    EXPECT_FALSE(readWave(truncated).has_value());
    QByteArray notPcm = good;
    notPcm[20] = 3;  // IEEE float
    EXPECT_FALSE(readWave(notPcm).has_value());
}

}  // namespace

#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace skingen {

// A RIFF/WAVE file of 16-bit mono PCM.
QByteArray wavBytes(const std::vector<std::int16_t>& samples, int sampleRate);
void writeWav(const QString& path, const std::vector<std::int16_t>& samples, int sampleRate);

}  // namespace skingen

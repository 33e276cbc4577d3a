#pragma once

#include <QSoundEffect>
#include <QString>
#include <memory>

namespace xq {

// Plays one wave file at a time, in the background: a new sound replaces the one playing.
// Without an audio output, or without the file, nothing happens.
class SoundPlayer {
public:
    void play(const QString& path);
    static bool hasOutput();

private:
    QSoundEffect* effect();
    std::unique_ptr<QSoundEffect> effect_;
};

}  // namespace xq

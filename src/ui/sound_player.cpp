#include "ui/sound_player.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QUrl>

namespace xq {

bool SoundPlayer::hasOutput() {
    return !QMediaDevices::audioOutputs().isEmpty();
}

QSoundEffect* SoundPlayer::effect() {
    // Created on first use only: a machine that never plays a sound never loads the audio stack.
    if (!effect_) effect_ = std::make_unique<QSoundEffect>();
    return effect_.get();
}

void SoundPlayer::play(const QString& path) {
    if (!QFileInfo(path).isFile() || !hasOutput()) return;
    QSoundEffect* e = effect();
    e->stop();
    e->setSource(QUrl::fromLocalFile(path));
    e->play();
}

}  // namespace xq

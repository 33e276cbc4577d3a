#include "skin_tree.h"

#include <QDir>
#include <future>

#include "picture_file.h"
#include "skin_art.h"
#include "sounds.h"
#include "wav_file.h"

namespace skingen {

namespace {

int writeAll(const QString& dir, const Pictures& pictures) {
    for (const Picture& picture : pictures)
        writePicture(QDir(dir).filePath(picture.path), picture.image);
    return static_cast<int>(pictures.size());
}

}  // namespace

int writeHallTree(const QString& hallDir, const CjkFont& font) {
    // The board surfaces take longest and need no font: draw them meanwhile.
    auto boards = std::async(std::launch::async, boardBackgrounds);
    int count = 0;
    count += writeAll(hallDir, pieceStrips(font));
    count += writeAll(hallDir, frameArt(font));
    count += writeAll(hallDir, paneArt(font));
    count += writeAll(hallDir, panelArt(font));
    count += writeAll(hallDir, controlPanelArt());
    count += writeAll(hallDir, replayArt(font));
    count += writeAll(hallDir, userFaces());
    count += writeAll(hallDir, chatFaces());
    count += writeAll(hallDir, messageIcons());
    Pictures backgrounds = boards.get();
    addRiverWords(backgrounds, font);
    count += writeAll(hallDir, backgrounds);
    for (const Sound& sound : makeSounds()) {
        writeWav(QDir(hallDir).filePath(QStringLiteral("game/Sound/") + sound.file), sound.samples,
                 kSoundRate);
        ++count;
    }
    return count;
}

int writeBuiltinPictures(const QString& dir, const CjkFont& font) {
    return writeAll(dir, builtinPictures(font));
}

}  // namespace skingen

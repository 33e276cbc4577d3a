#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace skingen {

class CjkFont;

// One generated picture; the path is relative to the folder it is written into and keeps the
// spelling the client asks for. The client matches folder names without regard to case, so the
// files it asks for under "res\" and "Res\" share one folder game/Res.
struct Picture {
    QString path;
    QImage image;
};
using Pictures = std::vector<Picture>;

// The hall tree (paths below the hall folder).
// The board backgrounds of styles 0..3 in order: pure arithmetic, safe on any thread. The river
// words are added afterwards, on the thread that draws text.
Pictures boardBackgrounds();
void addRiverWords(Pictures& boards, const CjkFont& font);
Pictures pieceStrips(const CjkFont& font);
Pictures frameArt(const CjkFont& font);
Pictures paneArt(const CjkFont& font);
Pictures panelArt(const CjkFont& font);
Pictures controlPanelArt();
Pictures replayArt(const CjkFont& font);
Pictures userFaces();
Pictures chatFaces();
Pictures messageIcons();

// The pictures compiled into the client (paths below the resource folder).
Pictures builtinPictures(const CjkFont& font);

}  // namespace skingen

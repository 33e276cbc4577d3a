// The control panel's caption band and its button states. The client prints the captions, in
// black with a light shadow, so the faces stay light and carry no text.
#include "paint_kit.h"
#include "skin_art.h"

namespace skingen {

namespace {

constexpr int kBandH = 20;
constexpr int kButtonW = 59, kButtonH = 20;

QImage panelCaptionTile() {
    QImage image = canvas(6, kBandH);
    for (int y = 0; y < kBandH; ++y) {
        QColor c = blend(QColor(244, 242, 255), QColor(196, 190, 242), y / (kBandH - 2.0));
        if (y == kBandH - 1) c = QColor(128, 112, 200);
        for (int x = 0; x < 6; ++x)
            image.setPixelColor(x, y, c);
    }
    return image;
}

QImage buttons() {
    QImage image = canvas(3 * kButtonW, kButtonH, client::kOptPanel);
    ArtPainter p(&image);
    const QRectF face(0, 0, kButtonW, kButtonH);
    litBox(p, face, 4, QColor(255, 255, 255), QColor(222, 214, 246), QColor(120, 100, 190));
    litBox(p, face.translated(kButtonW, 0), 4, QColor(255, 252, 228), QColor(252, 206, 104),
           QColor(196, 128, 20));
    litBox(p, face.translated(2 * kButtonW, 0), 4, QColor(236, 232, 238), QColor(206, 200, 212),
           QColor(160, 152, 170));
    return image;
}

}  // namespace

Pictures controlPanelArt() {
    return {
        {QStringLiteral("game/Res/UserOptCaptionBk.bmp"), panelCaptionTile()},
        {QStringLiteral("game/Res/UserOptButton.bmp"), buttons()},
    };
}

}  // namespace skingen

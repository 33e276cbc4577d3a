// Every file the client loads must exist under its exact name and read back with the size the
// client's layout expects of it.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImageReader>

#include "hall_files.h"

namespace {

struct Expected {
    QString path;
    QSize size;
};

std::vector<Expected> expectedPictures() {
    std::vector<Expected> all = {
        // Board backgrounds in the board's own aspect.
        {"game/Res/QiPanBack_0.jpg", {608, 670}},
        {"game/Res/QiPanBack_1.jpg", {608, 670}},
        {"game/Res/QiPanBack_2.jpg", {608, 670}},
        {"game/Res/QiPanBack_3.jpg", {608, 670}},
        // Frame: caption tile and end, four glyphs plus hot versions, two user buttons plus hot.
        {"game/Res/CaptionBack.bmp", {9, 25}},
        {"game/Res/CaptionBackRight.bmp", {121, 25}},
        {"game/Res/SysMenu.bmp", {8 * 20, 23}},
        {"game/Res/UserButton.bmp", {4 * 41, 25}},
        // Splitter (12 wide, tiled every 3) and the game pane's edges, corner and plates.
        {"game/Res/VSpliterBk.bmp", {12, 3}},
        {"game/Res/VSpliterMidBk.bmp", {12, 3}},
        {"game/Res/VSpliterMid_Right.bmp", {12, 9}},
        {"game/Res/VSpliterMid_Left.bmp", {12, 9}},
        {"game/Res/GameBackVsBian.bmp", {7, 16}},
        {"game/Res/GameBackHsBian.bmp", {16, 7}},
        {"game/Res/GameBackJiao.bmp", {53, 50}},
        {"game/Res/StyleBack.bmp", {132, 86}},
        // Player panels: the plate under both, flags, ten 9×16 digits.
        {"game/Res/UserInfo.bmp", {130, 354}},
        {"game/Res/UserRunFlag_Red.bmp", {32, 32}},
        {"game/Res/UserRunFlag_Blk.bmp", {32, 32}},
        {"game/Res/number.bmp", {10 * 9, 16}},
        // Control panel: caption tile, three 59×20 button states.
        {"game/Res/UserOptCaptionBk.bmp", {6, 20}},
        {"game/Res/UserOptButton.bmp", {3 * 59, 20}},
        // Replay window: five 22×19 buttons in two states, backgrounds.
        {"game/Res/FuPan_But.bmp", {10 * 22, 19}},
        {"game/Res/FuPan_ButBk.bmp", {126, 31}},
        {"game/Res/fupanbk.bmp", {575, 462}},
        // Message box icons in the hall's own res folder.
        {"res/Msg0.ico", {32, 32}},
        {"res/Msg1.ico", {32, 32}},
        {"res/Msg2.ico", {32, 32}},
        {"UserRes/LargeUser/1000.ico", {32, 32}},
    };
    for (int style = 0; style < 4; ++style)
        for (const char* side : {"Red", "blk"})
            all.push_back(
                {QStringLiteral("game/Res/Big_Qz_%1_%2.bmp").arg(style).arg(side), {8 * 57, 57}});
    for (int i = 0; i < 5; ++i)
        all.push_back({QStringLiteral("game/Res/FuPan_Cmd%1.bmp").arg(i), {120, 22}});
    for (int n = 1; n <= 24; ++n)
        all.push_back({QStringLiteral("UserRes/LargeUser/%1.ico").arg(n), {32, 32}});
    for (int n = 1; n <= 12; ++n)
        all.push_back({QStringLiteral("UserRes/face/%1.png").arg(n), {24, 24}});
    return all;
}

TEST(SkinTree, EveryPictureReadsWithItsSize) {
    for (const Expected& e : expectedPictures()) {
        SCOPED_TRACE(e.path.toStdString());
        const QString path = hallPath(e.path);
        // The exact spelling must exist, not only a case-insensitive match.
        ASSERT_TRUE(QFileInfo(path).isFile());
        QImageReader reader(path);
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(image.size(), e.size);
    }
}

TEST(SkinTree, BitmapsAreTrueColourWithoutAlpha) {
    // The client copies bitmaps opaquely and with AND/OR; a palette or alpha would break both.
    for (const Expected& e : expectedPictures()) {
        if (!e.path.endsWith(u".bmp")) continue;
        SCOPED_TRACE(e.path.toStdString());
        const QImage image(hallPath(e.path));
        EXPECT_FALSE(image.hasAlphaChannel());
        EXPECT_EQ(image.colorCount(), 0);
    }
}

TEST(SkinTree, IconsKeepTheirTransparency) {
    // Round icons and portraits are drawn over other surfaces; a lost alpha channel would show
    // as black corners.
    for (const Expected& e : expectedPictures()) {
        if (!e.path.endsWith(u".ico") && !e.path.endsWith(u".png")) continue;
        SCOPED_TRACE(e.path.toStdString());
        const QImage image(hallPath(e.path));
        ASSERT_TRUE(image.hasAlphaChannel());
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 255);
    }
}

TEST(SkinTree, PortraitsAreAllDifferent) {
    std::vector<QImage> seen;
    for (int n = 1; n <= 24; ++n) {
        const QImage face(hallPath(QStringLiteral("UserRes/LargeUser/%1.ico").arg(n)));
        for (const QImage& other : seen)
            EXPECT_NE(face, other) << n;
        seen.push_back(face);
    }
}

}  // namespace

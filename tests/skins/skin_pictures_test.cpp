// What the client's drawing code expects of the pictures beyond their sizes.
#include <gtest/gtest.h>

#include "hall_files.h"

namespace {

const QColor kPanel(222, 150, 0);  // the client erases panel elements with this colour

double meanLightness(const QImage& image, const QRect& area) {
    double sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            sum += image.pixelColor(x, y).lightness();
    return sum / (area.width() * area.height());
}

TEST(SkinPictures, BoardBackgroundsAreFourDifferentLooks) {
    std::vector<QImage> boards;
    for (int style = 0; style < 4; ++style)
        boards.push_back(hallImage(QStringLiteral("game/Res/QiPanBack_%1.jpg").arg(style)));
    for (std::size_t i = 0; i < boards.size(); ++i) {
        for (std::size_t j = i + 1; j < boards.size(); ++j) {
            // Compare a coarse average grid so that JPEG noise alone never counts as a difference.
            const QImage a =
                boards[i].scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            const QImage b =
                boards[j].scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            double distance = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const QColor ca = a.pixelColor(x, y), cb = b.pixelColor(x, y);
                    distance += std::abs(ca.red() - cb.red()) + std::abs(ca.green() - cb.green()) +
                                std::abs(ca.blue() - cb.blue());
                }
            EXPECT_GT(distance / 256, 12.0) << "styles " << i << " and " << j;
        }
    }
}

// Where the client erases an element by filling its rectangle with the panel colour, the plate
// must already be exactly that colour, or erasing would leave a patch.
TEST(SkinPictures, PanelPlateIsPanelColourUnderEveryErasedElement) {
    const QImage plate = hallImage(QStringLiteral("game/Res/UserInfo.bmp"));
    struct Slot {
        int y;       // face top, relative to the plate
        int clockA;  // first clock's offset below the face
    };
    for (const Slot slot : {Slot{15, 78}, Slot{205, 71}}) {
        const int x = 13;
        std::vector<QRect> erased = {
            {x, slot.y, 33, 33},        // face
            {x, slot.y + 35, 106, 13},  // name
            {x + 37, slot.y, 33, 33},   // disconnected mark
            {x + 70, slot.y, 33, 33},   // flag
        };
        for (const int clock : {slot.y + slot.clockA, slot.y + slot.clockA + 45})
            for (int group = 0; group < 3; ++group)
                erased.push_back(QRect(QPoint(x + 13 + 35 * group - 1, clock - 1),
                                       QPoint(x + 13 + 35 * group + 22, clock + 17)));
        for (const QRect& r : erased)
            for (int py = r.top(); py <= r.bottom(); ++py)
                for (int px = r.left(); px <= r.right(); ++px)
                    ASSERT_EQ(plate.pixelColor(px, py), kPanel) << px << "," << py;
    }
}

TEST(SkinPictures, PanelElementsSitOnThePanelColour) {
    // Digits are drawn without erasing around them and flags are erased with the panel colour.
    struct Corner {
        const char* file;
        QPoint at;
    };
    for (const Corner c :
         {Corner{"game/Res/number.bmp", {0, 0}}, Corner{"game/Res/number.bmp", {89, 15}},
          Corner{"game/Res/UserRunFlag_Red.bmp", {31, 31}},
          Corner{"game/Res/UserRunFlag_Blk.bmp", {31, 31}}}) {
        EXPECT_EQ(hallImage(QString::fromUtf8(c.file)).pixelColor(c.at), kPanel) << c.file;
    }
}

TEST(SkinPictures, HotAndDisabledStatesDifferFromNormal) {
    struct Sheet {
        const char* file;
        QSize cell;
        std::vector<std::pair<int, int>> pairs;  // cell x offsets that must look different
    };
    const std::vector<Sheet> sheets = {
        {"game/Res/SysMenu.bmp", {20, 23}, {{0, 80}, {20, 100}, {40, 120}, {60, 140}, {20, 40}}},
        {"game/Res/UserButton.bmp", {41, 25}, {{0, 82}, {41, 123}, {0, 41}}},
        {"game/Res/UserOptButton.bmp", {59, 20}, {{0, 59}, {0, 118}, {59, 118}}},
        {"game/Res/FuPan_But.bmp", {22, 19}, {{0, 110}, {44, 154}, {0, 22}, {22, 44}, {66, 88}}},
    };
    for (const Sheet& s : sheets) {
        const QImage image = hallImage(QString::fromUtf8(s.file));
        for (const auto& [a, b] : s.pairs)
            EXPECT_NE(image.copy(QRect({a, 0}, s.cell)), image.copy(QRect({b, 0}, s.cell)))
                << s.file << " " << a << "/" << b;
    }
    EXPECT_NE(hallImage(QStringLiteral("game/Res/VSpliterMid_Right.bmp")),
              hallImage(QStringLiteral("game/Res/VSpliterMid_Left.bmp")));
}

TEST(SkinPictures, BackgroundsUnderBlackTextAreLight) {
    // The client prints titles and captions in black over these.
    struct Area {
        const char* file;
        QRect rect;
    };
    for (const Area a : {Area{"game/Res/CaptionBack.bmp", {0, 4, 9, 16}},
                         Area{"game/Res/CaptionBackRight.bmp", {0, 4, 40, 16}},
                         Area{"game/Res/UserOptCaptionBk.bmp", {0, 2, 6, 15}},
                         Area{"game/Res/UserOptButton.bmp", {12, 4, 35, 12}},
                         Area{"game/Res/UserOptButton.bmp", {71, 4, 35, 12}},
                         Area{"game/Res/UserOptButton.bmp", {130, 4, 35, 12}}}) {
        EXPECT_GT(meanLightness(hallImage(QString::fromUtf8(a.file)), a.rect), 170) << a.file;
    }
}

}  // namespace

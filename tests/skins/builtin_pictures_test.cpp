// The pictures compiled into the client through xq_add_builtin_pictures().
#include <gtest/gtest.h>

#include <QImage>

namespace {

TEST(BuiltinPictures, ResourcesLoadWithTheirSizes) {
    const struct {
        const char* path;
        QSize size;
        bool opaque;
    } pictures[] = {
        {":/builtin/gameback.png", {32, 32}, true},  // tiled over the pane: no holes
        {":/builtin/logo.png", {16, 16}, false},    {":/builtin/netbreak.png", {32, 32}, false},
        {":/builtin/hand.png", {32, 32}, false},    {":/builtin/cursor.png", {32, 32}, false},
    };
    for (const auto& p : pictures) {
        SCOPED_TRACE(p.path);
        const QImage image(QString::fromUtf8(p.path));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), p.size);
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        bool anyTransparent = false;
        for (int y = 0; y < argb.height(); ++y)
            for (int x = 0; x < argb.width(); ++x)
                anyTransparent |= qAlpha(argb.pixel(x, y)) < 255;
        // Marks drawn over the panels and the cursor must let what is behind show round them.
        EXPECT_EQ(anyTransparent, !p.opaque);
    }
}

}  // namespace

// Without a font that has the Chinese glyphs skin-gen must stop the build with one clear
// message, and write nothing, rather than draw pieces with empty boxes.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Case {
    const char* family;
    const char* expected;
};

TEST(SkinGenFont, FailsClearlyWithoutCjkGlyphs) {
    const Case cases[] = {
        {"No Such Font Family", "is not installed"},
        // A real font without Chinese glyphs, present wherever the build machine has fonts.
        {"DejaVu Sans", "has no glyph for"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.family);
        QTemporaryDir out;
        ASSERT_TRUE(out.isValid());
        QProcess run;
        run.start(QStringLiteral(XQ_TEST_SKIN_GEN),
                  {QStringLiteral("--hall"), out.filePath(QStringLiteral("hall")),
                   QStringLiteral("--font"), QString::fromUtf8(c.family)});
        ASSERT_TRUE(run.waitForFinished(60000));
        const QString err = QString::fromUtf8(run.readAllStandardError());
        if (QString::fromUtf8(c.family) == u"DejaVu Sans" && err.contains(u"is not installed"))
            continue;  // this machine has no such font; the other case still covers the path
        EXPECT_NE(run.exitCode(), 0);
        EXPECT_TRUE(err.contains(u"skin-gen: no CJK font found")) << err.toStdString();
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.expected))) << err.toStdString();
        EXPECT_TRUE(err.contains(u"install fonts-wqy-zenhei")) << err.toStdString();
        EXPECT_FALSE(QDir(out.filePath(QStringLiteral("hall"))).exists());
    }
}

}  // namespace

// skin-gen: draws every picture and sound the client loads at run time, so that no binary art
// lives in the repository. Run at build time; see tools/skin-gen/CMakeLists.txt.
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "cjk_font.h"
#include "skin_error.h"
#include "skin_tree.h"
#include "version/version.h"

int main(int argc, char** argv) {
    if (xq::printedVersion(argc, argv, "skin-gen")) return 0;
    // A build tool must not need a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("skin-gen"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Generates the client's skin pictures, icons, faces and sounds."));
    parser.addHelpOption();
    const QCommandLineOption hall(QStringLiteral("hall"),
                                  QStringLiteral("Write the run-time tree below <dir>."),
                                  QStringLiteral("dir"));
    const QCommandLineOption builtin(QStringLiteral("builtin"),
                                     QStringLiteral("Write the compiled-in pictures into <dir>."),
                                     QStringLiteral("dir"));
    QCommandLineOption font(QStringLiteral("font"), QStringLiteral("Use this font family."),
                            QStringLiteral("family"));
    font.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({hall, builtin, font});
    parser.process(app);
    if (!parser.isSet(hall) && !parser.isSet(builtin)) {
        std::fputs("skin-gen: nothing to do (give --hall DIR and/or --builtin DIR)\n", stderr);
        return 2;
    }

    try {
        QElapsedTimer clock;
        clock.start();
        const auto cjk = skingen::CjkFont::find(parser.value(font));
        int files = 0;
        if (parser.isSet(hall)) files += skingen::writeHallTree(parser.value(hall), cjk);
        if (parser.isSet(builtin))
            files += skingen::writeBuiltinPictures(parser.value(builtin), cjk);
        std::printf("skin-gen: %d files in %lld ms (font %s)\n", files,
                    static_cast<long long>(clock.elapsed()), qPrintable(cjk.family()));
    } catch (const skingen::SkinError& e) {
        std::fprintf(stderr, "skin-gen: %s\n", e.what());
        return 1;
    }
    return 0;
}

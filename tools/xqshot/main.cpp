// xqshot OUTPUT.png: saves a picture of the whole X display (for documentation screenshots taken
// under Xvfb).

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

#include "version/version.h"

int main(int argc, char** argv) {
    if (xq::printedVersion(argc, argv, "xqshot")) return 0;
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fputs("usage: xqshot OUTPUT.png\n", stderr);
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        std::fputs("xqshot: no screen\n", stderr);
        return 1;
    }
    const QPixmap shot = screen->grabWindow(0);
    if (shot.isNull() || !shot.save(args[1])) {
        std::fprintf(stderr, "xqshot: could not write %s\n", qPrintable(args[1]));
        return 1;
    }
    return 0;
}

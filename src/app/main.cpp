// xqtable: the table client. The hall starts it with nine words: the launch token, the room
// server's host and port, the game's name, the level titles, two extra words, the user's name and
// the scoring mode.

#include <QApplication>

#include "look/app_translations.h"
#include "startup/command_line.h"
#include "ui/app_startup.h"
#include "ui/main_window.h"
#include "version/version.h"

int main(int argc, char** argv) {
    if (xq::printedVersion(argc, argv, "xqtable")) return 0;
    // Every word belongs to the hall, even one that looks like a Qt option ("-style x",
    // "-reverse", "-platform …"): QApplication would take those out of the list and act on them.
    // So the words are copied first and QApplication sees only the program's own name.
    const QStringList words = xq::processArguments(argc, argv);
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    app.setQuitOnLastWindowClosed(false);
    xq::installChineseTranslations(app);
    xq::ClientState state;
    auto window = xq::startTable(state, words, QCoreApplication::applicationDirPath());
    if (!window) return 1;
    return QApplication::exec();
}

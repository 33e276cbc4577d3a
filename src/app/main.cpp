// xqtable: the table client. The hall starts it with nine words: the launch token, the room
// server's host and port, the game's name, the level titles, two extra words, the user's name and
// the scoring mode.

#include <QApplication>

#include "ui/app_startup.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    xq::ClientState state;
    auto window = xq::StartTable(state, QCoreApplication::arguments().mid(1),
                                 QCoreApplication::applicationDirPath());
    if (!window) return 1;
    return QApplication::exec();
}

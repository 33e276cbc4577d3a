// xqhall: the game hall. The user logs in, sees the room's tables, the players and the hall chat,
// and sits down or watches; the server's grant starts the table client.

#include <QApplication>
#include <cstdio>

#include "hall/hall_client.h"
#include "hall/hall_options.h"
#include "hall/hall_settings.h"
#include "hall/table_launcher.h"
#include "hallui/hall_window.h"
#include "look/app_translations.h"
#include "version/version.h"

int main(int argc, char** argv) {
    if (xq::printedVersion(argc, argv, "xqhall")) return 0;
    // Read before QApplication sees them: on X11 it takes "--name" for itself (the window
    // manager's name of the program) and removes it from the arguments.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("xqhall"));
    xq::installChineseTranslations(app);

    xq::hall::HallCommandLine commandLine;
    if (!commandLine.parse(arguments, QCoreApplication::applicationDirPath())) {
        std::fprintf(stderr, "xqhall: %s\n\n%s", qPrintable(commandLine.error()),
                     qPrintable(commandLine.helpText()));
        return 2;
    }
    if (commandLine.helpWanted()) {
        std::fputs(qPrintable(commandLine.helpText()), stdout);
        return 0;
    }
    const xq::hall::HallOptions& options = commandLine.options();

    xq::hall::HallSettings settings(xq::hall::HallSettings::defaultPath());
    xq::hall::ProcessLauncher launcher;
    xq::hall::HallClient client(launcher);
    client.setTableClient(options.tableClient);
    client.setTicket(options.ticket);
    client.setSettings(&settings);
    xq::hall::HallWindow window(client, QCoreApplication::applicationDirPath());
    // What the command line leaves open comes from the last login.
    const xq::hall::HallSettings::Login last = settings.login();
    const bool lastServer = !options.serverGiven && !last.host.isEmpty();
    window.setLoginValues(options.name.isEmpty() ? last.name : options.name,
                          lastServer ? last.host : options.host,
                          lastServer ? last.port : options.port);
    window.show();
    return QApplication::exec();
}

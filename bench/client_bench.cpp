// Figures of the table client:
//   client_bench startup XQTABLE [RUNS]   time from launching xqtable to its first painted window
//                                        (XQ_CLIENT_PLATFORM=xcb with DISPLAY set: on an X server)
//   client_bench game                    CPU and memory of two table windows during a game with
//                                        both clocks and the blink timers running
// Both need a room server binary (XQ_SERVER_BINARY) and run on the offscreen platform.

#include <sys/resource.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMouseEvent>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "ui/app_startup.h"
#include "ui/control_panel.h"
#include "ui/game_set_dialog.h"
#include "ui/main_window.h"
#include "ui/player_panels.h"

namespace {

bool Eventually(const std::function<bool()>& condition, int ms = 15000) {
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

struct Server {
    Server() {
        process.setProgram(QStringLiteral(XQ_SERVER_BINARY));
        process.setArguments({"--port", "0", "--no-db"});
        process.start();
        process.waitForStarted();
        Eventually([&] { return process.canReadLine(); });
        port = process.readLine().trimmed().mid(5).toUShort();
    }
    ~Server() {
        process.kill();
        process.waitForFinished();
    }
    QProcess process;
    quint16 port = 0;
};

QStringList Words(quint16 port, const QString& name) {
    return {xq::launchToken(),
            "127.0.0.1",
            QString::number(port),
            "中国象棋",
            "长工_100`短工_200`佃农_500`贫农_1000`中农_2000`富农_4000`地主_8000`恶霸_12000",
            "-",
            "-",
            name,
            "1"};
}

int Startup(const QString& program, int runs) {
    Server server;
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QProcess client;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XQTABLE_TRACE_FIRST_PAINT", "1");
        env.insert("QT_QPA_PLATFORM", qEnvironmentVariable("XQ_CLIENT_PLATFORM", "offscreen"));
        client.setProcessEnvironment(env);
        client.setProcessChannelMode(QProcess::SeparateChannels);
        QElapsedTimer t;
        t.start();
        client.start(program, Words(server.port, QStringLiteral("测时%1").arg(i)));
        QByteArray err;
        Eventually([&] {
            err += client.readAllStandardError();
            return err.contains("first-paint");
        });
        ms.push_back(t.nsecsElapsed() / 1e6);
        client.kill();
        client.waitForFinished();
    }
    std::sort(ms.begin(), ms.end());
    std::printf(
        "start-up to first painted window over %d runs: min %.1f ms, median %.1f ms, max %.1f ms\n",
        runs, ms.front(), ms[ms.size() / 2], ms.back());
    return 0;
}

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec +
           u.ru_stime.tv_usec / 1e6;
}

long RssKb() {
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

int Game() {
    Server server;
    xq::ClientState a, b;
    auto red = xq::startTable(a, Words(server.port, "红方"), "/nonexistent/hall/game");
    Eventually([&] { return a.session.strWatchUserName == "红方"; });
    auto black = xq::startTable(b, Words(server.port, "黑方"), "/nonexistent/hall/game");
    Eventually([&] { return a.game.bteOptButState[xq::kBtnStart] == xq::kButtonNormal; });
    red->table().DoUserOpt(xq::kBtnStart);
    Eventually([&] { return red->gameSetDialog() != nullptr; });
    red->gameSetDialog()->button(0)->click();
    Eventually([&] { return black->gameSetDialog() != nullptr; });
    black->gameSetDialog()->button(0)->click();
    if (!Eventually([&] { return !a.game.blnNoGame && !b.game.blnNoGame; })) {
        std::fputs("client_bench: the game did not start\n", stderr);
        return 1;
    }
    // Both clocks run for the seat to move, both turn flags blink; the last-move markers blink once
    // a move is made.
    red->table().onBoardClick(true, 7, 7);
    red->table().onBoardClick(true, 7, 4);
    Eventually([&] { return qiPuUpperBound(b.game.QiPuData) == 1; });
    const double cpu0 = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QEventLoop idle;  // the windows run on their own timers; nothing here spins
    QTimer::singleShot(20000, &idle, &QEventLoop::quit);
    idle.exec();
    const double cpu = CpuSeconds() - cpu0;
    const double seconds = wall.nsecsElapsed() / 1e9;
    std::printf(
        "two table windows during a game, %.0f s: %.2f %% of a core (%.2f %% per window), "
        "resident memory %ld MB for both\n",
        seconds, 100 * cpu / seconds, 50 * cpu / seconds, RssKb() / 1024);
    red->onUnloaded = [] {};
    black->onUnloaded = [] {};
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == "startup" && args.size() >= 3) {
        return Startup(args[2], args.value(3, "10").toInt());
    }
    if (args.value(1) == "game") return Game();
    std::fputs("usage: client_bench startup XQTABLE [RUNS] | client_bench game\n", stderr);
    return 2;
}

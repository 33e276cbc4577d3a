// xqtable-server: the room server, headless: its tables and the hall in front of them.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTime>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

#include "server/bot/bot_player.h"
#include "server/database_stats.h"
#include "server/default_database.h"
#include "server/fd_limit.h"
#include "server/result_spill.h"
#include "server/room_server.h"
#include "server/running_keep.h"
#include "server/running_spill.h"
#include "server/stop_signals.h"
#include "server/store/account_command.h"
#include "server/store_thread.h"
#include "server/stored_accounts.h"
#include "server/tls_context.h"
#include "server/user_row_text.h"
#include "version/version.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("xqtable-server"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(xq::kVersion));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Room server of xiangqi tables, with a hall in front of them."));
    parser.addHelpOption();
    parser.addVersionOption();
    // Loopback unless told otherwise: a table for players on other machines is opened on purpose.
    const QCommandLineOption hostOpt(
        QStringList{QStringLiteral("listen"), QStringLiteral("host")},
        QStringLiteral("Address to listen on (0.0.0.0: every address of the machine)."),
        QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption portOpt(QStringLiteral("port"),
                                     QStringLiteral("Port to listen on; 0 picks a free one."),
                                     QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption nameOpt(QStringLiteral("game-name"),
                                     QStringLiteral("Display name of the game (for the log)."),
                                     QStringLiteral("TEXT"), QStringLiteral("中国象棋"));
    const QCommandLineOption botOpt(QStringLiteral("bot"),
                                    QStringLiteral("Seat a computer opponent in seat 1 once a "
                                                   "person has taken seat 0."));
    const QCommandLineOption botLevelOpt(QStringLiteral("bot-level"),
                                         QStringLiteral("Strength of the computer opponent, 1 "
                                                        "(weakest) to 5, or to 6 (the engine's "
                                                        "full strength) with --bot-engine; "
                                                        "implies --bot."),
                                         QStringLiteral("N"));
    const QCommandLineOption botEngineOpt(
        QStringLiteral("bot-engine"),
        QStringLiteral("A UCI engine for the computer opponent to play with (a path, or a "
                       "program's name such as fairy-stockfish); its own search answers while "
                       "the engine cannot. Implies --bot."),
        QStringLiteral("PROGRAM"));
    const QCommandLineOption botNameOpt(QStringLiteral("bot-name"),
                                        QStringLiteral("User name of the computer opponent; "
                                                       "implies --bot."),
                                        QStringLiteral("NAME"));
    const QCommandLineOption chatBurstOpt(QStringLiteral("chat-burst"),
                                          QStringLiteral("Chat lines one person may send at once "
                                                         "before the rate limit applies."),
                                          QStringLiteral("N"), QStringLiteral("5"));
    const QCommandLineOption chatIntervalOpt(
        QStringLiteral("chat-interval-ms"),
        QStringLiteral("Milliseconds after which one more chat line is allowed."),
        QStringLiteral("MS"), QStringLiteral("1000"));
    const QCommandLineOption maxConnectionsOpt(
        QStringLiteral("max-connections"),
        QStringLiteral("Connections kept at once; more are closed as they come."),
        QStringLiteral("N"), QStringLiteral("3000"));
    const QCommandLineOption maxPerAddressOpt(
        QStringLiteral("max-per-address"),
        QStringLiteral("Connections kept at once from one address, IPv6 per /64 (loopback not "
                       "counted unless --count-loopback)."),
        QStringLiteral("N"), QStringLiteral("16"));
    const QCommandLineOption maxPendingPerAddressOpt(
        QStringLiteral("max-pending-per-address"),
        QStringLiteral("Connections from one address that have not logged in yet; the oldest "
                       "of them is closed to make room for a new one."),
        QStringLiteral("N"), QStringLiteral("4"));
    const QCommandLineOption maxPendingOpt(
        QStringLiteral("max-pending"),
        QStringLiteral("Connections in all that have not logged in yet (default: a quarter of "
                       "--max-connections); the oldest is closed to make room for a new one."),
        QStringLiteral("N"));
    const QCommandLineOption countLoopbackOpt(
        QStringLiteral("count-loopback"),
        QStringLiteral("Hold connections from this machine (a local gateway) to the per-address "
                       "limits too."));
    const QCommandLineOption loginWindowOpt(
        QStringLiteral("login-window-ms"),
        QStringLiteral("Milliseconds a new connection has for its TLS handshake, hello and "
                       "login."),
        QStringLiteral("MS"), QStringLiteral("15000"));
    const QCommandLineOption hallIdleOpt(
        QStringLiteral("hall-idle-ms"),
        QStringLiteral("Milliseconds after which a hall connection that sent nothing, not even "
                       "its keep-alive, is closed."),
        QStringLiteral("MS"), QStringLiteral("60000"));
    const QCommandLineOption tcpKeepAliveOpt(
        QStringLiteral("tcp-keepalive-s"),
        QStringLiteral("Seconds of silence after which the system probes a peer; one that "
                       "answers none of 4 probes, 10 s apart, is closed."),
        QStringLiteral("S"), QStringLiteral("60"));
    const QCommandLineOption reservationOpt(
        QStringLiteral("reservation-ms"),
        QStringLiteral("Milliseconds a place granted in the hall waits for its table client."),
        QStringLiteral("MS"), QStringLiteral("60000"));
    parser.addOptions({maxPendingPerAddressOpt, maxPendingOpt, countLoopbackOpt, loginWindowOpt,
                       hallIdleOpt, tcpKeepAliveOpt, reservationOpt});
    const QCommandLineOption tablesOpt(
        QStringLiteral("tables"),
        QStringLiteral("Tables in the room, 1 to %1; with more than one, players take their "
                       "places through the hall.")
            .arg(xq::server::Room::kMaxTables),
        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption dbOpt(
        QStringLiteral("db"),
        QStringLiteral(
            "Where players and games are kept: a SQLite file (default: xqtable.db "
            "beside the server where that folder may be written, else in "
            "~/.local/share/xqtable/), or a PostgreSQL database, as a postgresql:// URI or "
            "a \"host=... dbname=...\" connection string, which several room servers "
            "may share."),
        QStringLiteral("WHERE"));
    const QCommandLineOption noDbOpt(
        QStringLiteral("no-db"),
        QStringLiteral("Keep players and games in memory only, forgotten when the server stops."));
    const QCommandLineOption addUserOpt(
        QStringLiteral("add-user"),
        QStringLiteral("Create the account NAME in the database, with the password read from the "
                       "first line of standard input, and exit."),
        QStringLiteral("NAME"));
    const QCommandLineOption resetPasswordOpt(
        QStringLiteral("reset-password"),
        QStringLiteral("Give the stored player NAME the password read from the first line of "
                       "standard input, and exit."),
        QStringLiteral("NAME"));
    const QCommandLineOption failedLoginsOpt(
        QStringLiteral("failed-logins-per-minute"),
        QStringLiteral("Failed hall logins taken per minute from one address and for one name "
                       "before later tries must wait (default 10)."),
        QStringLiteral("N"), QStringLiteral("10"));
    const QCommandLineOption registrationsOpt(
        QStringLiteral("registrations-per-hour"),
        QStringLiteral("New accounts registered per hour from one address (default 5)."),
        QStringLiteral("N"), QStringLiteral("5"));
    parser.addOptions({failedLoginsOpt, registrationsOpt});
    const QCommandLineOption roomIdOpt(
        QStringLiteral("room-id"),
        QStringLiteral("What tells this room's running games apart from other rooms' in a shared "
                       "database, so that a restart goes on with them (default: the listening "
                       "address and port)."),
        QStringLiteral("NAME"));
    const QCommandLineOption stopWaitOpt(
        QStringLiteral("stop-wait-ms"),
        QStringLiteral("On SIGTERM or SIGINT: how long the server waits at most for connections "
                       "to take their last words and for the database (default 3000)."),
        QStringLiteral("MS"), QStringLiteral("3000"));
    parser.addOptions({roomIdOpt, stopWaitOpt});

    const QCommandLineOption spillDirOpt(
        QStringLiteral("spill-dir"),
        QStringLiteral("Folder for the results and running games the database could not take "
                       "before the server stopped, taken up at the next start (default: beside "
                       "the SQLite file, or beside the server for PostgreSQL)."),
        QStringLiteral("DIR"));
    parser.addOptions({spillDirOpt});
    const QCommandLineOption tlsCertOpt(
        QStringLiteral("tls-cert"),
        QStringLiteral("The server's TLS certificate (PEM, may be followed by its chain); with "
                       "--tls-key, a connection that opens with a TLS handshake speaks TLS on the "
                       "same port, the others plain frames."),
        QStringLiteral("FILE"));
    const QCommandLineOption tlsKeyOpt(
        QStringLiteral("tls-key"),
        QStringLiteral("The private key of --tls-cert (PEM, without a passphrase)."),
        QStringLiteral("FILE"));
    const QCommandLineOption tlsOnlyOpt(
        QStringLiteral("tls-only"),
        QStringLiteral("Close every connection that does not open with a TLS handshake; needs "
                       "--tls-cert and --tls-key."));
    parser.addOptions({tablesOpt, dbOpt, noDbOpt, hostOpt, portOpt, nameOpt, botOpt, botLevelOpt,
                       botEngineOpt, botNameOpt, chatBurstOpt, chatIntervalOpt, maxConnectionsOpt,
                       maxPerAddressOpt, addUserOpt, resetPasswordOpt, tlsCertOpt, tlsKeyOpt,
                       tlsOnlyOpt});
    parser.process(app);

    const auto logLine = [](const QString& line) {
        const QByteArray text =
            (QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz ")) + line + u'\n')
                .toUtf8();
        std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stderr);
        std::fflush(stderr);
    };

    bool portOk = false;
    const uint port = parser.value(portOpt).toUInt(&portOk);
    const QHostAddress host(parser.value(hostOpt));
    if (!portOk || port > 65535 || host.isNull()) {
        logLine(QStringLiteral("bad --listen or --port"));
        return 2;
    }

    // A whole number from 1 up, or nothing.
    const auto positive = [&parser](const QCommandLineOption& o) -> std::optional<int> {
        bool ok = false;
        const int v = parser.value(o).toInt(&ok);
        return ok && v > 0 ? std::optional<int>(v) : std::nullopt;
    };
    const auto chatBurst = positive(chatBurstOpt);
    const auto chatInterval = positive(chatIntervalOpt);
    const auto maxConnections = positive(maxConnectionsOpt);
    const auto maxPerAddress = positive(maxPerAddressOpt);
    const auto maxPendingPerAddress = positive(maxPendingPerAddressOpt);
    const auto maxPending =
        parser.isSet(maxPendingOpt) ? positive(maxPendingOpt) : std::optional<int>(0);
    const auto loginWindow = positive(loginWindowOpt);
    const auto hallIdle = positive(hallIdleOpt);
    const auto tcpKeepAlive = positive(tcpKeepAliveOpt);
    const auto reservation = positive(reservationOpt);
    if (!maxPendingPerAddress || !maxPending || !loginWindow || !hallIdle || !tcpKeepAlive ||
        !reservation) {
        logLine(QStringLiteral(
            "bad --max-pending-per-address, --max-pending, --login-window-ms, --hall-idle-ms, "
            "--tcp-keepalive-s or --reservation-ms: give a whole number from 1"));
        return 2;
    }
    const auto tables = positive(tablesOpt);
    const auto failedLogins = positive(failedLoginsOpt);
    const auto registrations = positive(registrationsOpt);
    const auto stopWait = positive(stopWaitOpt);
    if (!stopWait) {
        logLine(QStringLiteral("bad --stop-wait-ms: give a whole number from 1"));
        return 2;
    }
    if (!failedLogins || !registrations) {
        logLine(QStringLiteral(
            "bad --failed-logins-per-minute or --registrations-per-hour: give a whole number "
            "from 1"));
        return 2;
    }
    if (!tables || *tables > xq::server::Room::kMaxTables) {
        logLine(QStringLiteral("bad --tables: give a whole number from 1 to %1")
                    .arg(xq::server::Room::kMaxTables));
        return 2;
    }
    if (!chatBurst || !chatInterval || !maxConnections || !maxPerAddress) {
        logLine(
            QStringLiteral("bad --chat-burst, --chat-interval-ms, --max-connections or "
                           "--max-per-address: give a whole number from 1"));
        return 2;
    }

    const bool withBot = parser.isSet(botOpt) || parser.isSet(botLevelOpt) ||
                         parser.isSet(botNameOpt) || parser.isSet(botEngineOpt);
    const auto given = [&parser](const QCommandLineOption& o) {
        return parser.isSet(o) ? std::optional<QString>(parser.value(o)) : std::nullopt;
    };
    const auto botOptions =
        xq::server::parseBotOptions(given(botLevelOpt), given(botNameOpt), given(botEngineOpt));
    if (const auto* error = std::get_if<QString>(&botOptions)) {
        logLine(*error);
        return 2;
    }

    if (parser.isSet(tlsCertOpt) != parser.isSet(tlsKeyOpt)) {
        logLine(QStringLiteral("--tls-cert and --tls-key go together: give both or neither"));
        return 2;
    }
    if (parser.isSet(tlsOnlyOpt) && !parser.isSet(tlsCertOpt)) {
        logLine(QStringLiteral("--tls-only needs --tls-cert and --tls-key"));
        return 2;
    }

    // The room remembers its players unless told not to; without its database it does not start,
    // rather than play games whose results would be lost.
    std::unique_ptr<xq::server::StoreThread> store;
    std::unique_ptr<xq::server::DatabaseStats> storedStats;
    std::unique_ptr<xq::server::StoredAccounts> accounts;
    if (parser.isSet(noDbOpt) && parser.isSet(dbOpt)) {
        logLine(QStringLiteral("--db and --no-db exclude each other"));
        return 2;
    }
    const bool accountCommand = parser.isSet(addUserOpt) || parser.isSet(resetPasswordOpt);
    if (accountCommand &&
        (parser.isSet(noDbOpt) || (parser.isSet(addUserOpt) && parser.isSet(resetPasswordOpt)))) {
        logLine(
            QStringLiteral("--add-user and --reset-password need the database and exclude "
                           "each other"));
        return 2;
    }
    QString resultSpill;  // with a store: where what it could not take at a stop is kept
    if (!parser.isSet(noDbOpt)) {
        const QString where =
            parser.isSet(dbOpt)
                ? parser.value(dbOpt)
                : xq::server::defaultDatabasePath(QCoreApplication::applicationDirPath());
        QString error;
        if (accountCommand) {
            // One command and out: no tables to keep going, so the store is used right here.
            auto direct = xq::server::PlayerStore::open(where, &error);
            if (!direct) {
                logLine(QStringLiteral("cannot open the players' database: %1").arg(error));
                return 1;
            }
            const bool add = parser.isSet(addUserOpt);
            const QString name = parser.value(add ? addUserOpt : resetPasswordOpt);
            return xq::server::runAccountCommand(
                *direct,
                add ? xq::server::AccountCommand::Add : xq::server::AccountCommand::ResetPassword,
                name, xq::server::facePicture(name), stdin, logLine);
        }
        store = xq::server::StoreThread::open(where, &error);
        if (!store) {
            logLine(QStringLiteral("cannot open the players' database: %1").arg(error));
            return 1;
        }
        resultSpill = xq::server::spillPathFor(where, parser.value(spillDirOpt),
                                               QCoreApplication::applicationDirPath());
        storedStats = std::make_unique<xq::server::DatabaseStats>(*store, logLine, resultSpill);
        accounts = std::make_unique<xq::server::StoredAccounts>(*store);
        logLine(QStringLiteral("players and games kept in %1 (%2)")
                    .arg(store->isPostgres() ? QStringLiteral("PostgreSQL") : where,
                         store->description()));
        // What an earlier run could not store goes first, before any new result.
        storedStats->takeSpilled();
        if (withBot && std::holds_alternative<xq::server::BotOptions>(botOptions)) {
            // The computer opponent is a player of the store like an account, made once here:
            // arrivals only look names up.
            const QString botName = std::get<xq::server::BotOptions>(botOptions).name;
            store->post([botName](xq::server::PlayerStore& s) {
                s.enter(botName, xq::server::facePicture(botName));
            });
        }
    }

    // A certificate that cannot be used stops the server before it listens, rather than have
    // members find out one by one.
    std::shared_ptr<xq::server::TlsContext> tls;
    if (parser.isSet(tlsCertOpt)) {
        QString error;
        tls =
            xq::server::TlsContext::load(parser.value(tlsCertOpt), parser.value(tlsKeyOpt), &error);
        if (!tls) {
            logLine(QStringLiteral("cannot use TLS: %1").arg(error));
            return 1;
        }
    }

    const long files = xq::server::raiseFileLimit();
    xq::server::ServerOptions options;
    options.store = storedStats.get();
    // A room that keeps its players gives them accounts: a stored name is its owner's.
    options.accounts = accounts.get();
    options.guessing = xq::server::GuessingLimits{*failedLogins, *registrations};
    options.tables = *tables;
    options.chat = xq::server::ChatRate{*chatBurst, *chatInterval};
    options.maxConnections = *maxConnections;
    options.maxPerAddress = *maxPerAddress;
    options.maxPendingPerAddress = *maxPendingPerAddress;
    options.maxPending = *maxPending;
    options.countLoopback = parser.isSet(countLoopbackOpt);
    options.timeouts.loginWindowMs = *loginWindow;
    options.timeouts.hallIdleMs = *hallIdle;
    options.timeouts.tcpIdleS = *tcpKeepAlive;
    options.reservationMs = *reservation;
    options.tls = tls;
    options.tlsOnly = parser.isSet(tlsOnlyOpt);
    xq::server::RoomServer server(logLine, options);
    if (!server.listen(host, static_cast<quint16>(port))) {
        logLine(QStringLiteral("cannot listen on %1:%2: %3")
                    .arg(host.toString())
                    .arg(port)
                    .arg(server.errorString()));
        return 1;
    }
    if (tls) {
        logLine(QStringLiteral("TLS on, %1; certificate SHA-256 fingerprint %2")
                    .arg(parser.isSet(tlsOnlyOpt)
                             ? QStringLiteral("plain connections refused (--tls-only)")
                             : QStringLiteral("plain connections too, on the same port"),
                         tls->fingerprint()));
    }
    std::unique_ptr<xq::server::BotPlayer> bot;
    if (withBot) {
        xq::server::BotConfig config;
        config.options = std::get<xq::server::BotOptions>(botOptions);
        config.log = logLine;
        bot = std::make_unique<xq::server::BotPlayer>(server, config);
        logLine(QStringLiteral("computer opponent %1, level %2%3, waits for a player in seat 0")
                    .arg(config.options.name)
                    .arg(config.options.level)
                    .arg(config.options.enginePath.isEmpty()
                             ? QString()
                             : QStringLiteral(", engine %1").arg(config.options.enginePath)));
    }
    // Games that were running when the server last stopped go on, at the same tables.
    const QString roomId = parser.isSet(roomIdOpt)
                               ? parser.value(roomIdOpt)
                               : QStringLiteral("%1:%2").arg(host.toString()).arg(port);
    std::unique_ptr<xq::server::RunningKeep> keep;
    if (store) {
        const QString spill = xq::server::runningSpillPathFor(resultSpill, roomId);
        keep = std::make_unique<xq::server::RunningKeep>(*store, server, roomId, spill, logLine);
        keep->resume();
        keep->keepFromNowOn();
    }

    // SIGTERM or SIGINT: the games are kept, everybody is told, and the server ends in order.
    xq::server::StopSignals stopSignals;
    bool stopping = false;
    QTimer stopPoll;
    QElapsedTimer stopClock;
    QObject::connect(&stopSignals, &xq::server::StopSignals::stopRequested, &app, [&](int number) {
        // A terminal's Ctrl+C reaches the server and the script that started it, which then
        // passes a signal on: a second one must not cut the orderly stop short. The stop is
        // bounded by --stop-wait-ms anyway.
        if (stopping) {
            logLine(QStringLiteral("signal %1 again: the server is already stopping").arg(number));
            return;
        }
        stopping = true;
        stopClock.start();
        const std::vector<xq::server::RunningGame> running = server.runningGames();
        logLine(QStringLiteral("signal %1: the server stops; %2 running games are kept for the "
                               "restart")
                    .arg(number)
                    .arg(running.size()));
        if (keep) keep->stop();
        server.beginShutdown(QStringLiteral("服务器即将关闭，未下完的对局在服务器重新启动后继续"));
        QObject::connect(&stopPoll, &QTimer::timeout, &app, [&] {
            if (server.undeliveredConnections() > 0 && stopClock.elapsed() < *stopWait) return;
            stopPoll.stop();
            if (server.undeliveredConnections() > 0)
                logLine(QStringLiteral("%1 connections did not close in time")
                            .arg(server.undeliveredConnections()));
            QCoreApplication::exit(0);
        });
        stopPoll.start(20);
    });

    std::printf("port %u\n", static_cast<unsigned>(server.port()));
    std::fflush(stdout);
    logLine(QStringLiteral("%1 %2 listening on %3:%4 (open files allowed: %5)")
                .arg(parser.value(nameOpt),
                     *tables == 1 ? QStringLiteral("table")
                                  : QStringLiteral("room of %1 tables").arg(*tables),
                     host.toString())
                .arg(server.port())
                .arg(files));
    const int status = QCoreApplication::exec();
    bot.reset();
    // An orderly end: the running games and the results still pending are committed (results
    // the database cannot take are kept for the next start), and the store is closed so that its
    // file alone holds everything.
    const int storeWaitMs = stopping ? *stopWait : 5000;
    if (storedStats) storedStats->settle(storeWaitMs);
    if (store && !store->finish(storeWaitMs)) {
        logLine(QStringLiteral("the database does not answer; leaving without closing it"));
        if (keep) keep->storeHeld();
        if (stopping) logLine(QStringLiteral("stopped in %1 ms").arg(stopClock.elapsed()));
        std::_Exit(status);
    }
    if (stopping) logLine(QStringLiteral("stopped in %1 ms").arg(stopClock.elapsed()));
    return status;
}

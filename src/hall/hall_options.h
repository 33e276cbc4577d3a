#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace xq::hall {

// What the hall is started with: the login box's first values, a guest's ticket when one is given,
// and the table client it starts.
struct HallOptions {
    QString host = QStringLiteral("127.0.0.1");
    int port = 0;              // 0: none given
    bool serverGiven = false;  // --server was given: the last login's server does not count
    QString name;
    QString ticket;  // given; otherwise a guest logs in with the ticket kept for him
    QString tableClient;
};

// xqhall [--server HOST:PORT] [--name NAME] [--ticket TICKET] [--table-client PATH]
class HallCommandLine {
public:
    HallCommandLine();

    // Reads the words (the program's path first, as the system gives them); false when they are
    // not understood, with error() saying why. programDir is where the table client is looked
    // for when none is given: its game/ folder.
    bool parse(const QStringList& arguments, const QString& programDir);

    const HallOptions& options() const { return options_; }
    const QString& error() const { return error_; }
    bool helpWanted() const { return help_; }
    QString helpText() const { return parser_.helpText(); }

private:
    QCommandLineParser parser_;
    HallOptions options_;
    QString error_;
    bool help_ = false;
};

}  // namespace xq::hall

#pragma once

#include <QString>
#include <QStringList>

#include "startup/session.h"

namespace xq {

// Splits a command line into words at blanks and tabs. There is no quoting: a double quote is an
// ordinary character. Element 0 stays empty and the words follow from 1; at most maxWords words
// are taken and the rest of the line is ignored.
QStringList SplitCommandLine(const QString& text, int maxWords = 10);

// The words the process was started with, after the program's own path: argv[1] to
// argv[argc - 1], each decoded from the local 8-bit encoding, in their order.
QStringList processArguments(int argc, const char* const* argv);

enum class LaunchCheck {
    kOk,
    kWrongWordCount,  // error 1: not exactly nine words
    kWrongToken,      // error 2: the first word is not the launch token
};

// The launch token shared with the hall that starts the client.
QString launchToken();

// Checks the words after the program name and, when they pass, stores fields 2 to 9 in the
// session's launch data.
LaunchCheck checkCommandLine(const QString& text, Session& session);

// The texts of the two start-up error boxes and their title.
QString startupErrorText(LaunchCheck check);
QString startupErrorTitle();

}  // namespace xq

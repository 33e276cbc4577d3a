#pragma once

#include <QList>
#include <QStringList>

#include "hall/table_launcher.h"

namespace xq::test {

// Takes down what the hall would start instead of starting it.
class RecordingLauncher : public hall::TableLauncher {
public:
    struct Launch {
        QString program;
        QStringList arguments;
        hall::LaunchEnvironment environment;
    };
    QList<Launch> launches;

    void start(const QString& program, const QStringList& arguments,
               const hall::LaunchEnvironment& environment) override {
        launches.append({program, arguments, environment});
    }
};

}  // namespace xq::test

#pragma once

#include <QObject>
#include <QStringList>

#include "hall/launch_words.h"

namespace xq::hall {

// Starts the table client. The seam lets tests see what would be started instead of starting it.
class TableLauncher : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The environment is the hall's own with these variables set, and none of the hall's own
    // handover variables inherited.
    virtual void start(const QString& program, const QStringList& arguments,
                       const LaunchEnvironment& environment) = 0;

signals:
    // The program could not be started; the reason is for the user.
    void failed(const QString& reason);
};

// Starts the table client as a child process and forgets it when it ends. A table window still
// open when the hall goes away is left running: the user may go on playing.
class ProcessLauncher : public TableLauncher {
    Q_OBJECT

public:
    using TableLauncher::TableLauncher;
    ~ProcessLauncher() override;

    void start(const QString& program, const QStringList& arguments,
               const LaunchEnvironment& environment) override;
    // Table clients started and not yet ended.
    int running() const;
};

}  // namespace xq::hall

#pragma once

#include <QObject>
#include <QStringList>

namespace xq::hall {

// Starts the table client. The seam lets tests see what would be started instead of starting it.
class TableLauncher : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void start(const QString& program, const QStringList& arguments) = 0;

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

    void start(const QString& program, const QStringList& arguments) override;
    // Table clients started and not yet ended.
    int running() const;
};

}  // namespace xq::hall

#pragma once

#include <QProcess>
#include <QStringList>
#include <memory>

namespace xq::test {

// The names the committing children play with.
const QStringList& childPlayers();

// Runs in the child: "open WHERE" opens the store and exits (0 when it opened); "commit WHERE
// TABLE" records random games at that table for ever, printing a line after each commit.
int runStoreChild(const QStringList& args);

// This test program started again as a child (killed when the object goes).
class StoreChild {
public:
    explicit StoreChild(const QStringList& args);
    ~StoreChild();
    QProcess& process() { return process_; }
    // Commits the child has reported so far.
    int commits();
    void kill();

private:
    QProcess process_;
    QByteArray output_;
};

}  // namespace xq::test

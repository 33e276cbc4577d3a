#pragma once

#include <QString>

namespace xq::server {

// Where the room keeps its players when no --db is given: xqtable.db beside the server, as it
// has always been, where that folder may be written (a build, a copy in one's home); else in the
// user's data folder (~/.local/share/xqtable/), for a server installed in a folder of the system.
// The folder is made when it is missing.
QString defaultDatabasePath(const QString& programFolder);

}  // namespace xq::server

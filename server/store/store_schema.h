#pragma once

#include <QString>

namespace xq::server {

class StoreConnection;

// The newest schema this program writes and reads.
int latestSchemaVersion();

// Brings the database up to the latest schema, one step per transaction, while every other
// server on it waits. False, with a reason, when a step fails or the database is newer than
// this program.
bool migrateStore(StoreConnection& connection, QString* error);

// The version the database is at; -1 when it cannot be read.
int storedSchemaVersion(StoreConnection& connection);

}  // namespace xq::server

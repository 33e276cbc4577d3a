#pragma once

#include <QString>

namespace xq {

// What the user is told when a record file could not be read or a record or text record could
// not be written. The words are Chinese; the system's own reason, which is usually English,
// follows only in brackets at the end.

// Why the record at path could not be loaded: missing, not openable, or not a record.
QString LoadFailureText(const QString& path);
QString SaveFailureText(const QString& path, const QString& reason);
QString ExportFailureText(const QString& path, const QString& reason);

}  // namespace xq

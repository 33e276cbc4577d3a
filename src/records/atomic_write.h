#pragma once

#include <QByteArray>
#include <QString>

namespace xq {

// Replaces the file at path with the bytes in one step: a crash or a full disk leaves either
// the old file or the new one, never a mix. False, with a reason in *error, on failure.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

}  // namespace xq

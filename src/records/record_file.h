#pragma once

#include <QString>
#include <QStringList>

#include "rules/history.h"

namespace xq {

// A game record file (.drak): one line per move, the four bytes of the move as decimal numbers
// joined by "#", each line ending in CR LF; a game without moves is an empty file.

// Writes the moves of the history, replacing the file as a whole (never half-written). False, with
// a reason in *error, when the file could not be written.
bool SaveQiPuFile(const QString& path, const QiPuHistory& history, QString* error = nullptr);

// Reads a record file. The history is replaced only when the whole file was read; a missing,
// unreadable or malformed file leaves it as it was and gives false.
bool LoadQiPuFile(const QString& path, QiPuHistory& history);

// Reads record text (the file's contents); nothing when a line is malformed.
bool parseQiPuText(const QByteArray& text, QiPuHistory& history);

// The record text of a history.
QByteArray qiPuFileText(const QiPuHistory& history);

// A text record: the move list lines in code page 936, each ending in CR LF; written as a whole.
bool saveTextRecord(const QString& path, const QStringList& lines, QString* error = nullptr);
QByteArray textRecordBytes(const QStringList& lines);

}  // namespace xq

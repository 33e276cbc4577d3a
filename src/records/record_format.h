#pragma once

#include <QString>

namespace xq {

// The kind of a record file, told by its extension in any letter case: ".pgn" and ".txt" name
// themselves; anything else, a name without extension too, is a .drak record as it always was.
enum class RecordFormat { Drak, Pgn, Text };

RecordFormat recordFormatOf(const QString& path);

}  // namespace xq

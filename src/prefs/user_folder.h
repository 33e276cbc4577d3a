#pragma once

#include <QString>

namespace xq {

// The folder of the user's own small files (UserSet.ini, the last record folder), ending in
// "/": the program folder, as it has always been, wherever the user may write there; else his
// configuration folder (~/.config/xqtable/), for a program installed in a folder of the system.
QString userFilesFolder(const QString& programFolder);

}  // namespace xq

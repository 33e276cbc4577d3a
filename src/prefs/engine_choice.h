#pragma once

#include <QString>

namespace xq {

// The program the replay window analyses with: the one the user chose, else Fairy-Stockfish
// where it is installed; empty when there is none. The choice is kept in the user's
// configuration folder (xqtable/engine.conf), apart from UserSet.ini, whose lines other
// programs read.
QString analysisEngine();
void setAnalysisEngine(const QString& program);
// Fairy-Stockfish where it is installed (Debian puts it in /usr/games); empty otherwise.
QString installedFairyStockfish();

}  // namespace xq

#pragma once

#include <QString>

namespace xq::hall {

// The level titles the hall hands the table client, each with the score it starts at.
QString LevelTitles();

// The title of a score, by the same table the table client uses.
QString LevelTitle(int score);

}  // namespace xq::hall

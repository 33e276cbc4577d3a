#pragma once

#include <QString>

namespace xq::hall {

// The level titles the hall hands the table client, each with the score it starts at.
QString levelTitles();

// The title of a score, by the same table the table client uses.
QString levelTitle(int score);

}  // namespace xq::hall

#include "hall/level_titles.h"

#include "startup/session.h"

namespace xq::hall {

QString levelTitles() {
    return QStringLiteral(
        "长工_100`短工_200`佃农_500`贫农_1000`中农_2000`富农_4000`地主_8000`恶霸_12000");
}

QString levelTitle(int score) {
    // The table client reads its titles into a session; reading them the same way keeps the hall
    // and the table window naming a score alike.
    static const Session levels = [] {
        Session s;
        ParseLevelInfo(s, levelTitles());
        return s;
    }();
    return GetLevelName(levels, score);
}

}  // namespace xq::hall

#include "startup/session.h"

#include "net/leading_number.h"

namespace xq {

void InitSession(Session& s, const QString& programFolder) {
    s.strAppPath = programFolder;
    if (!s.strAppPath.endsWith(u'/')) s.strAppPath += u'/';
    const QString withoutLast = s.strAppPath.left(s.strAppPath.size() - 1);
    const qsizetype cut = withoutLast.lastIndexOf(u'/');
    // A program folder at the root has no parent: the root stands for it.
    s.strParentPath = cut < 0 ? QStringLiteral("/") : withoutLast.left(cut + 1);
    s.bteSeatPanel = {0, 0};
    s.blnCanStart = false;
    ParseLevelInfo(s, s.strLevelInfo);
    s.varMemberNames = {QStringLiteral("普通用户"), QStringLiteral("普通会员"),
                        QStringLiteral("蓝钻会员"), QStringLiteral("红钻会员"),
                        QStringLiteral("绿钻会员")};
    s.blnAppQuit = false;
    s.bteGameStarted = 0;
}

void ParseLevelInfo(Session& s, const QString& info) {
    s.LevelInfos.clear();
    const QStringList entries = info.split(u'`');
    s.LevelInfos.reserve(static_cast<std::size_t>(entries.size()));
    for (const QString& entry : entries) {
        const QStringList parts = entry.split(u'_');
        LevelInfoItem item;
        item.strLevelName = parts.value(0);
        if (parts.size() > 1) item.lngMinScore = leadingLong(parts[1]);
        s.LevelInfos.push_back(item);
    }
}

QString GetLevelName(const Session& s, std::int32_t score) {
    const auto& levels = s.LevelInfos;
    if (levels.empty()) return QStringLiteral("未知级别");
    if (score <= levels.front().lngMinScore) return levels.front().strLevelName;
    if (score >= levels.back().lngMinScore) return levels.back().strLevelName;
    for (std::size_t i = 1; i < levels.size(); ++i) {
        if (levels[i].lngMinScore > score) return levels[i - 1].strLevelName;
    }
    return {};  // only reached by a table whose minimums are out of order
}

void ResolveMySeat(Session& s) {
    for (std::uint8_t i = 0; i < 2; ++i) {
        if (s.SeatUsers[i].strUserName != s.strWatchUserName) continue;
        s.bteSeatPanel[i] = 1;
        s.bteSeatPanel[1 - i] = 0;
        s.bteMySeat = i;
        s.blnLookOn = s.strWatchUserName != s.strMyUserName;
        return;
    }
}

QString memberName(const Session& s, std::int32_t faceNo) {
    const std::int32_t cls = faceNo / 1000;
    if (cls < 0 || cls >= s.varMemberNames.size()) return QStringLiteral("未知身份");
    return s.varMemberNames[cls];
}

}  // namespace xq

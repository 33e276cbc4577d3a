#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

namespace xq {

// One player's seat at the table.
struct SeatUserItem {
    QString strUserName;          // empty for a free seat
    std::int32_t lngFaceNo = -1;  // thousands: membership class; rest + 1: face picture number
    bool intOffline = false;
    bool intHandUp = false;
    std::array<std::uint8_t, 3> bteTotalUsed{};  // time bank used: hours, minutes, seconds
    std::array<std::uint8_t, 3> bteStepUsed{};   // time used in the current move
};

struct LevelInfoItem {
    std::int32_t lngMinScore = 0;
    QString strLevelName;
};

// Who the user is, where the program lives, which seat the view belongs to and who sits where.
struct Session {
    // Launch data from the command line.
    QString strRoomServerAddr;
    QString strRoomServerPort;
    QString strGameName;
    QString strLevelInfo;
    std::array<QString, 2> strExtParam;
    QString strMyUserName;
    std::uint8_t bteScoreType = 0;  // 0: scores are experience, otherwise points
    // Chosen at start-up: the ticket the hello carries (empty: none) and how the server's
    // certificate is trusted (see socket/tls_policy.h; empty: no TLS).
    QString strTicket;
    QString strTlsPolicy;

    // Folders, each ending in a separator.
    QString strAppPath;
    QString strParentPath;

    // Seat and perspective.
    QString strWatchUserName;
    std::uint8_t bteMySeat = 0;
    bool blnLookOn = false;
    std::array<std::uint8_t, 2> bteSeatPanel{};
    std::array<SeatUserItem, 2> SeatUsers;

    std::vector<LevelInfoItem> LevelInfos;
    QStringList varMemberNames;

    bool blnAppQuit = false;
    std::uint8_t bteGameStarted = 0;
    bool blnCanStart = false;
};

// Resets the session for the given program folder: folders, seat panels, level table, membership
// names and flags. Launch data, the watched name, the own seat and the seat records are kept.
void InitSession(Session& session, const QString& programFolder);

// Rebuilds the level table from text such as "长工_100`短工_200".
void ParseLevelInfo(Session& session, const QString& info);

// The title of a level value: each title runs from its own minimum to the next one's.
QString GetLevelName(const Session& session, std::int32_t score);

// Recomputes the own seat, the panels and the spectator flag from the watched name.
void ResolveMySeat(Session& session);

// The membership name of a face number, or the unknown-status text.
QString memberName(const Session& session, std::int32_t faceNo);

}  // namespace xq

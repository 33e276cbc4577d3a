#pragma once

#include <QString>
#include <optional>
#include <variant>

namespace xq::server {

inline constexpr int kDefaultBotLevel = 3;
inline const QString kDefaultBotName = QStringLiteral("象棋机器人");

struct BotOptions {
    int level = kDefaultBotLevel;
    QString name = kDefaultBotName;
};

// Reads the level and name given on the command line (nothing: the default). Gives the options,
// or a message saying what is wrong: a level that is not a whole number from 1 to 5, or a name
// that a client could not log in with.
std::variant<BotOptions, QString> parseBotOptions(const std::optional<QString>& level,
                                                  const std::optional<QString>& name);

}  // namespace xq::server

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
    QString enginePath;  // a UCI engine to play with; empty: the built-in search
};

// Reads the level, name and engine given on the command line (nothing: the default). Gives the
// options, or a message saying what is wrong: a level that is not a whole number from 1 to 5 (6
// with an engine: its full strength), a name that a client could not log in with, or an engine
// that is no program one can run.
std::variant<BotOptions, QString> parseBotOptions(const std::optional<QString>& level,
                                                  const std::optional<QString>& name,
                                                  const std::optional<QString>& engine = {});

}  // namespace xq::server

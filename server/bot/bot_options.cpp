#include "server/bot/bot_options.h"

#include <QFileInfo>
#include <QStandardPaths>

#include "engine/level.h"
#include "net/cp936.h"
#include "net/frame.h"
#include "server/bot/engine_mover.h"
#include "server/hello.h"

namespace xq::server {

std::variant<BotOptions, QString> parseBotOptions(const std::optional<QString>& level,
                                                  const std::optional<QString>& name,
                                                  const std::optional<QString>& enginePath) {
    BotOptions options;
    if (enginePath) {
        // A bare name is looked for where programs are; anything else is a file.
        const QString found =
            enginePath->contains(u'/') ? QString() : QStandardPaths::findExecutable(*enginePath);
        const QFileInfo file(found.isEmpty() ? *enginePath : found);
        if (enginePath->isEmpty() || !file.isFile() || !file.isExecutable())
            return QStringLiteral("bad --bot-engine \"%1\": no program of that name can be run")
                .arg(*enginePath);
        options.enginePath = file.absoluteFilePath();
    }
    if (level) {
        bool ok = false;
        const int value = level->toInt(&ok);
        const int highest = enginePath ? kMaxEngineLevel : engine::kMaxLevel;
        if (!ok || value < engine::kMinLevel || value > highest) {
            return QStringLiteral("bad --bot-level \"%1\": give a whole number from %2 to %3")
                .arg(*level)
                .arg(engine::kMinLevel)
                .arg(highest);
        }
        options.level = value;
    }
    if (name) {
        // The bot logs in like a client, so its name must pass the same test as a hello's (and
        // survive the trip through code page 936).
        const auto parsed = parseHello(QByteArray(kHelloPrefix) + encodeCp936(*name));
        if (!parsed || parsed->name != *name) {
            return QStringLiteral(
                       "bad --bot-name \"%1\": give 1 to %2 characters without \"`\", control "
                       "characters or blanks at either end")
                .arg(*name)
                .arg(kMaxNameLength);
        }
        options.name = *name;
    }
    return options;
}

}  // namespace xq::server

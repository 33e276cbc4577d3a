#include "server/store/account_command.h"

#include <QByteArray>

#include "server/store/password_hash.h"
#include "server/store/player_store.h"

namespace xq::server {
namespace {

// The first line, without its line end; nothing when there is none or it is far too long.
std::optional<QString> firstLine(std::FILE* in) {
    QByteArray line;
    for (int c = std::fgetc(in); c != EOF && c != '\n'; c = std::fgetc(in)) {
        if (line.size() > 4 * kMaxPasswordBytes) return std::nullopt;
        line.append(static_cast<char>(c));
    }
    if (line.endsWith('\r')) line.chop(1);
    return QString::fromUtf8(line);
}

}  // namespace

int runAccountCommand(PlayerStore& store, AccountCommand command, const QString& name, int face,
                      std::FILE* in, const std::function<void(const QString&)>& tell) {
    const auto password = firstLine(in);
    if (!password) {
        tell(QStringLiteral("the password (the first line of standard input) is too long"));
        return 1;
    }
    const QString what = command == AccountCommand::Add ? QStringLiteral("--add-user")
                                                        : QStringLiteral("--reset-password");
    QString error;
    if (command == AccountCommand::Add) {
        // Every refusal says why: a look-alike names the player whose name it resembles.
        if (store.createAccount(name, *password, face, &error) !=
            PlayerStore::Registration::Created) {
            tell(QStringLiteral("%1 %2: %3").arg(what, name, error));
            return 1;
        }
        tell(QStringLiteral("account %1 created").arg(name));
        return 0;
    }
    QString storedName;
    if (!store.setPassword(name, *password, &error, &storedName)) {
        tell(QStringLiteral("%1 %2: %3").arg(what, name, error));
        return 1;
    }
    tell(QStringLiteral("password of %1 changed").arg(storedName));
    return 0;
}

}  // namespace xq::server

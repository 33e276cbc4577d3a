#include "prefs/user_settings.h"

#include <QFile>
#include <QFileInfo>
#include <array>

#include "prefs/user_folder.h"
#include "records/atomic_write.h"

namespace xq {
namespace {

std::array<std::uint8_t*, 7> Fields(UserSettings& s) {
    return {&s.bteAllowLookOnSee, &s.bteSoundOn,    &s.bteShowInOutMsg, &s.bteQuitPrompt,
            &s.bteBadMoveHint,    &s.bteQiPanStyle, &s.bteQiZiStyle};
}

// One value: digits only once blanks are set aside, 0..255.
bool parseValue(const QByteArray& token, std::uint8_t& value) {
    if (token.isEmpty() || token.size() > 3) return false;
    int v = 0;
    for (char ch : token) {
        if (ch < '0' || ch > '9') return false;
        v = v * 10 + (ch - '0');
    }
    if (v > 255) return false;
    value = static_cast<std::uint8_t>(v);
    return true;
}

}  // namespace

void DefaultUserSet(UserSettings& s) {
    s = UserSettings{};
}

QByteArray userSetText(const UserSettings& settings) {
    UserSettings copy = settings;
    QByteArray out;
    for (std::uint8_t* v : Fields(copy))
        out += ' ' + QByteArray::number(*v) + " \r\n";
    return out;
}

bool parseUserSetText(const QByteArray& text, UserSettings& settings) {
    // Values are separated by line ends; blanks around them do not count.
    QList<QByteArray> tokens;
    for (const QByteArray& line : text.split('\n')) {
        const QByteArray value = line.trimmed();
        if (!value.isEmpty()) tokens.append(value);
    }
    UserSettings read;
    auto fields = Fields(read);
    if (tokens.size() < static_cast<qsizetype>(fields.size())) return false;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!parseValue(tokens[static_cast<qsizetype>(i)], *fields[i])) return false;
    }
    read.bteQiPanStyle = styleOrDefault(read.bteQiPanStyle);
    read.bteQiZiStyle = styleOrDefault(read.bteQiZiStyle);
    // The first five are yes-or-no: any value above 0 is yes. A 2 sent on as the spectator
    // permission made the server refuse every login.
    for (std::size_t i = 0; i < 5; ++i)
        *fields[i] = *fields[i] > 0 ? 1 : 0;
    settings = read;
    return true;
}

void LoadUserSet(UserSettings& settings, const QString& appPath) {
    const QString path = userFilesFolder(appPath) + QLatin1String(kUserSetFile);
    // Only a regular file of a sensible size: opening a pipe of that name would wait for a
    // writer for ever, and the program would never start.
    constexpr qint64 kMaxBytes = 64 * 1024;
    const QFileInfo info(path);
    QFile file(path);
    if (!info.isFile() || info.size() > kMaxBytes || !file.open(QIODevice::ReadOnly) ||
        !parseUserSetText(file.read(kMaxBytes), settings)) {
        DefaultUserSet(settings);
    }
}

bool SaveUserSet(const UserSettings& settings, const QString& appPath, QString* error) {
    return writeFileAtomically(userFilesFolder(appPath) + QLatin1String(kUserSetFile),
                               userSetText(settings), error);
}

}  // namespace xq

#include "startup/command_line.h"

#include "net/leading_number.h"
#include "startup/launch_token.h"

namespace xq {

QStringList SplitCommandLine(const QString& text, int maxWords) {
    QStringList words{QString()};
    bool inWord = false;
    for (QChar ch : text) {
        if (ch == u' ' || ch == u'\t') {
            inWord = false;
            continue;
        }
        if (!inWord) {
            if (words.size() - 1 >= maxWords) break;
            words.append(QString());
            inWord = true;
        }
        words.last().append(ch);
    }
    return words;
}

QStringList processArguments(int argc, const char* const* argv) {
    QStringList words;
    if (argv == nullptr) return words;
    for (int i = 1; i < argc; ++i) {
        if (argv[i] != nullptr) words.append(QString::fromLocal8Bit(argv[i]));
    }
    return words;
}

QString launchToken() {
    return QString::fromLatin1(kLaunchToken);
}

LaunchCheck checkCommandLine(const QString& text, Session& s) {
    const QStringList args = SplitCommandLine(text);
    if (args.size() - 1 != 9) return LaunchCheck::kWrongWordCount;
    if (args[1] != launchToken()) return LaunchCheck::kWrongToken;
    s.strRoomServerAddr = args[2];
    s.strRoomServerPort = args[3];
    s.strGameName = args[4];
    s.strLevelInfo = args[5];
    s.strExtParam = {args[6], args[7]};
    s.strMyUserName = args[8];
    s.bteScoreType = leadingByte(args[9]);
    return LaunchCheck::kOk;
}

QString startupErrorText(LaunchCheck check) {
    switch (check) {
        case LaunchCheck::kWrongWordCount:
            return QStringLiteral("1号错误，无法正常启动游戏！");
        case LaunchCheck::kWrongToken:
            return QStringLiteral("2号错误，无法正常启动游戏！");
        case LaunchCheck::kOk:
            break;
    }
    return {};
}

QString startupErrorTitle() {
    return QStringLiteral("游戏提示");
}

}  // namespace xq

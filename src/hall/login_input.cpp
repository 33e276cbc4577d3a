#include "hall/login_input.h"

#include <QHostAddress>
#include <algorithm>

#include "net/cp936.h"
#include "net/hall_messages.h"

namespace xq::hall {

std::optional<QString> nameProblem(const QString& name) {
    if (name.isEmpty()) return QStringLiteral("请输入用户名");
    if (name.size() > kMaxNameLength)
        return QStringLiteral("用户名太长：最多 %1 个字符").arg(kMaxNameLength);
    if (std::any_of(name.cbegin(), name.cend(), [](QChar c) { return c.isSpace(); }))
        return QStringLiteral("用户名不能含有空格");
    if (name.contains(u'`')) return QStringLiteral("用户名不能含有字符 `");
    if (std::any_of(name.cbegin(), name.cend(), [](QChar c) {
            return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
        }))
        return QStringLiteral("用户名不能含有控制字符");
    // A character the code page lacks would arrive as "?": the server would know another name.
    QString back;
    if (!decodeCp936(encodeCp936(name), back) || back != name)
        return QStringLiteral("用户名含有无法使用的字符");
    return std::nullopt;
}

std::optional<QString> serverProblem(const QString& host, int port) {
    if (host.isEmpty()) return QStringLiteral("请输入服务器地址");
    // The address is a word of the table client's launch line, too.
    if (std::any_of(host.cbegin(), host.cend(), [](QChar c) { return c.isSpace(); }))
        return QStringLiteral("服务器地址不能含有空格");
    if (port < 1 || port > 65535) return QStringLiteral("端口必须在 1 到 65535 之间");
    return std::nullopt;
}

std::optional<ServerAddress> parseServerAddress(const QString& text) {
    const qsizetype cut = text.lastIndexOf(u':');
    if (cut <= 0) return std::nullopt;
    QString host = text.left(cut);
    if (host.startsWith(u'[') && host.endsWith(u']')) {
        host = host.mid(1, host.size() - 2);
    } else if (host.contains(u':')) {
        return std::nullopt;  // an IPv6 address needs its brackets
    }
    bool ok = false;
    const int port = text.mid(cut + 1).toInt(&ok);
    if (!ok || host.isEmpty() || port < 1 || port > 65535) return std::nullopt;
    return ServerAddress{host, port};
}

bool isLoopbackHost(const QString& host) {
    if (host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0) return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

std::optional<QString> newPasswordProblem(const QString& password, const QString& again) {
    if (password.isEmpty()) return QStringLiteral("请输入密码");
    if (const auto problem = passwordWireProblem(password)) return problem;
    if (again != password) return QStringLiteral("两次输入的密码不一致");
    return std::nullopt;
}

}  // namespace xq::hall

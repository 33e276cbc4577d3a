#include "hall/hall_options.h"

#include <QDir>

#include "hall/login_input.h"
#include "socket/room_socket.h"

namespace xq::hall {
namespace {

const QCommandLineOption kServer(QStringLiteral("server"),
                                 QStringLiteral("大厅服务器，写作 主机:端口。"),
                                 QStringLiteral("HOST:PORT"));
const QCommandLineOption kName(QStringLiteral("name"), QStringLiteral("用户名。"),
                               QStringLiteral("NAME"));
const QCommandLineOption kTicket(QStringLiteral("ticket"),
                                 QStringLiteral("用户的登录凭据（1 到 64 个可打印 ASCII 字符，"
                                                "不含 \"`\"）；不给时用为该用户保存的凭据。"),
                                 QStringLiteral("TICKET"));
const QCommandLineOption kTableClient(QStringLiteral("table-client"),
                                      QStringLiteral("要启动的棋桌程序（默认：大厅旁的 "
                                                     "game/xqtable）。"),
                                      QStringLiteral("PATH"));

}  // namespace

HallCommandLine::HallCommandLine() {
    parser_.setApplicationDescription(QStringLiteral("中国象棋大厅。"));
    parser_.addHelpOption();
    parser_.addOptions({kServer, kName, kTicket, kTableClient});
}

bool HallCommandLine::parse(const QStringList& arguments, const QString& programDir) {
    options_ = HallOptions{};
    error_.clear();
    if (!parser_.parse(arguments)) {
        error_ = parser_.errorText();
        return false;
    }
    help_ = parser_.isSet(QStringLiteral("help"));
    if (!parser_.positionalArguments().isEmpty()) {
        error_ = QStringLiteral("多余的参数：%1").arg(parser_.positionalArguments()[0]);
        return false;
    }
    if (parser_.isSet(kServer)) {
        options_.serverGiven = true;
        const QString text = parser_.value(kServer);
        if (const auto address = parseServerAddress(text)) {
            options_.host = address->host;
            options_.port = address->port;
        } else if (!text.isEmpty() && !text.contains(u':')) {
            options_.host = text;  // a host alone: the port is asked for in the login box
        } else {
            error_ = QStringLiteral("--server 需要 主机:端口，而不是“%1”").arg(text);
            return false;
        }
    }
    options_.name = parser_.value(kName);
    if (parser_.isSet(kTicket)) {
        options_.ticket = parser_.value(kTicket);
        if (!isTicket(options_.ticket)) {
            error_ = QStringLiteral(
                "--ticket 需要 1 到 64 个可打印 ASCII 字符，不含空格和 \"`\"，也不能是 \"-\"");
            return false;
        }
    }
    options_.tableClient = parser_.isSet(kTableClient)
                               ? parser_.value(kTableClient)
                               : QDir(programDir).filePath(QStringLiteral("game/xqtable"));
    return true;
}

}  // namespace xq::hall

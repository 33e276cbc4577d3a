#include "hall/hall_client.h"

#include "hall/login_input.h"
#include "net/cp936.h"
#include "socket/room_socket.h"

namespace xq::hall {

HallClient::HallClient(TableLauncher& launcher, QObject* parent)
    : QObject(parent), launcher_(launcher) {
    answerTimer_.setSingleShot(true);
    connect(&answerTimer_, &QTimer::timeout, this, [this] {
        dropConnection();
        model_.clear();
        setState(State::LoggedOut);
        emit loginFailed(QStringLiteral("大厅服务器没有应答"));
    });
    connect(&launcher_, &TableLauncher::failed, this, &HallClient::tableFailed);
}

HallClient::~HallClient() {
    dropConnection();
}

std::optional<QString> HallClient::login(const QString& host, int port, const QString& name) {
    if (state_ != State::LoggedOut) return QStringLiteral("正在登录");
    if (const auto problem = nameProblem(name)) return problem;
    if (const auto problem = serverProblem(host, port)) return problem;
    if (!ticket_.isEmpty() && !isTicket(ticket_)) return QStringLiteral("登录凭据无效");
    launch_ = LaunchData{host, static_cast<quint16>(port), ticket_, name};
    refusal_.clear();
    model_.clear();

    auto* connection = new HallConnection(this);
    connection_ = connection;
    connect(connection, &HallConnection::opened, this,
            [this] { answerTimer_.start(answerTimeoutMs_); });
    connect(connection, &HallConnection::received, this, &HallClient::onMessage);
    connect(connection, &HallConnection::failed, this,
            [this] { onEnded(QStringLiteral("无法连接到大厅服务器")); });
    connect(connection, &HallConnection::closed, this, [this] {
        onEnded(refusal_.isEmpty() ? QStringLiteral("大厅服务器关闭了连接") : refusal_);
    });
    setState(State::LoggingIn);
    connection->open(host, launch_.port, hello(name, ticket_), kConnectTimeoutMs);
    return std::nullopt;
}

void HallClient::logout() {
    if (state_ == State::LoggedOut) return;
    answerTimer_.stop();
    if (connection_) {
        HallConnection* leaving = connection_;
        connection_ = nullptr;
        leaving->disconnect(this);
        // It goes once its goodbye is written, or at once when the server is gone.
        connect(leaving, &HallConnection::closed, leaving, &QObject::deleteLater);
        QTimer::singleShot(2000, leaving, &QObject::deleteLater);
        leaving->leave();
    }
    model_.clear();
    setState(State::LoggedOut);
}

void HallClient::sit(int table, int seat) {
    if (state_ != State::LoggedIn || !connection_ || (seat != 0 && seat != 1)) return;
    connection_->send(reserveSeat(table, seat));
}

void HallClient::watch(int table) {
    if (state_ != State::LoggedIn || !connection_) return;
    connection_->send(reserveWatch(table));
}

std::optional<QString> HallClient::say(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    if (state_ != State::LoggedIn || !connection_) return QStringLiteral("尚未登录，不能发言");
    const QByteArray message = hall::say(text);
    if (message.size() > kMaxSayBytes)
        return QStringLiteral("发言太长（最多 %1 字节，约 %2 个汉字），未发送")
            .arg(kMaxSayBytes - 1)
            .arg((kMaxSayBytes - 1) / 2);
    connection_->send(message);
    return std::nullopt;
}

void HallClient::onMessage(const in::ServerMessage& message) {
    if (std::holds_alternative<in::OwnRow>(message)) {
        // The server's first answer to a hello it takes is the user's own row.
        model_.apply(message);
        if (state_ == State::LoggingIn) {
            answerTimer_.stop();
            setState(State::LoggedIn);
        }
        return;
    }
    if (model_.apply(message)) return;
    if (const auto* chat = std::get_if<in::Chat>(&message)) {
        emit chatLine(chat->speaker, chat->text);
    } else if (const auto* r = std::get_if<in::Reservation>(&message)) {
        onReservation(*r);
    } else if (const auto* n = std::get_if<in::Notice>(&message)) {
        if (state_ == State::LoggingIn) {
            refusal_ = n->text;
        } else {
            emit notice(n->text);
        }
    }
}

void HallClient::onReservation(const in::Reservation& r) {
    if (state_ != State::LoggedIn) return;
    if (!r.granted) {
        emit reservationRefused(r.reason.isEmpty() ? QStringLiteral("请求被拒绝") : r.reason);
        return;
    }
    LaunchData launch = launch_;
    if (!r.ticket.isEmpty()) launch.ticket = r.ticket;  // the place's own key
    launcher_.start(tableClient_, launchWords(launch));
    emit tableStarted(r.table, r.place);
}

void HallClient::onEnded(const QString& loginReason) {
    const State was = state_;
    dropConnection();
    answerTimer_.stop();
    model_.clear();
    setState(State::LoggedOut);
    if (was == State::LoggingIn) {
        emit loginFailed(loginReason);
    } else if (was == State::LoggedIn) {
        emit connectionLost(QStringLiteral("与大厅服务器的连接已断开"));
    }
}

void HallClient::setState(State state) {
    if (state_ == state) return;
    state_ = state;
    emit stateChanged(state);
}

void HallClient::dropConnection() {
    if (!connection_) return;
    HallConnection* gone = connection_;
    connection_ = nullptr;
    gone->disconnect(this);
    gone->abort();
    // It may be reporting right now: it goes once its report is over.
    gone->deleteLater();
}

}  // namespace xq::hall

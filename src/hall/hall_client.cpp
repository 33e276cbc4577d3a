#include "hall/hall_client.h"

#include "hall/login_input.h"
#include "net/cp936.h"
#include "socket/room_socket.h"
#include "startup/kept_ticket.h"

namespace xq::hall {

HallClient::HallClient(TableLauncher& launcher, QObject* parent)
    : QObject(parent), launcher_(launcher), ticketFolder_(ticketFolder()) {
    answerTimer_.setSingleShot(true);
    connect(&answerTimer_, &QTimer::timeout, this, [this] {
        dropConnection();
        model_.clear();
        setState(State::LoggedOut);
        emit loginFailed(QStringLiteral("大厅服务器没有应答"));
    });
    passwordTimer_.setSingleShot(true);
    connect(&passwordTimer_, &QTimer::timeout, this, [this] {
        changingPassword_ = false;
        // The request may have arrived: it is not known which password is good now.
        emit passwordChangeRefused(QStringLiteral("服务器没有应答，密码可能没有修改"));
    });
    connect(&launcher_, &TableLauncher::failed, this, &HallClient::tableFailed);
}

HallClient::~HallClient() {
    dropConnection();
}

std::optional<QString> HallClient::login(const QString& host, int port, const QString& name,
                                         const QString& password) {
    return begin(host, port, name, password, password.isEmpty() ? Kind::Guest : Kind::Account);
}

std::optional<QString> HallClient::registerAccount(const QString& host, int port,
                                                   const QString& name, const QString& password) {
    return begin(host, port, name, password, Kind::Register);
}

std::optional<QString> HallClient::begin(const QString& host, int port, const QString& name,
                                         const QString& password, Kind kind) {
    if (state_ != State::LoggedOut) return QStringLiteral("正在登录");
    if (const auto problem = nameProblem(name)) return problem;
    if (const auto problem = serverProblem(host, port)) return problem;
    QByteArray first;
    if (kind == Kind::Guest) {
        if (!ticket_.isEmpty() && !isTicket(ticket_)) return QStringLiteral("登录凭据无效");
        guestTicket_ = !ticket_.isEmpty()
                           ? ticket_
                           : keptTicket(host, static_cast<quint16>(port), name, ticketFolder_);
        first = hello(name, guestTicket_);
    } else {
        if (password.isEmpty()) return QStringLiteral("请输入密码");
        if (const auto problem = passwordWireProblem(password)) return problem;
        // Nobody on the way reads it: the server refuses it unencrypted all the same.
        if (!encrypted_ && !isLoopbackHost(host))
            return QStringLiteral("密码只能经加密连接发送：请勾选“加密连接”");
        guestTicket_.clear();
        first = accountHello(name, password, kind == Kind::Register);
    }
    kind_ = kind;
    launch_ = LaunchData{host, static_cast<quint16>(port), name};
    refusal_.clear();
    lastNotice_.clear();
    model_.clear();

    TlsPolicy policy;
    tls_ = {};
    if (encrypted_) {
        const QString pin = settings_->pin(host, port);
        policy = pin.isEmpty() ? TlsPolicy{TlsPolicy::Mode::FirstUse, {}}
                               : TlsPolicy{TlsPolicy::Mode::Pin, pin};
    }

    auto* connection = new HallConnection(this);
    connection->setKeepAliveInterval(keepAliveMs_);
    connection_ = connection;
    connect(connection, &HallConnection::opened, this, [this, connection] {
        tls_ = connection->tls();
        // Met for the first time: from now on this certificate, and no other, is this server's.
        if (tls_.firstUse) settings_->setPin(launch_.host, launch_.port, tls_.fingerprint);
        answerTimer_.start(answerTimeoutMs_);
    });
    connect(connection, &HallConnection::received, this, &HallClient::onMessage);
    connect(connection, &HallConnection::failed, this, [this](const QString& reason) {
        onEnded(reason.isEmpty() ? QStringLiteral("无法连接到大厅服务器") : reason);
    });
    connect(connection, &HallConnection::closed, this, [this] {
        onEnded(refusal_.isEmpty() ? QStringLiteral("大厅服务器关闭了连接") : refusal_);
    });
    setState(State::LoggingIn);
    connection->open(host, launch_.port, first, kConnectTimeoutMs, policy);
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
    endPasswordChange();
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

std::optional<QString> HallClient::changePassword(const QString& oldPassword,
                                                  const QString& newPassword) {
    if (state_ != State::LoggedIn || !connection_) return QStringLiteral("尚未登录");
    if (!isAccount()) return QStringLiteral("访客没有密码");
    if (changingPassword_) return QStringLiteral("正在修改密码，请稍候");
    if (oldPassword.isEmpty()) return QStringLiteral("请输入原密码");
    if (const auto problem = passwordWireProblem(oldPassword))
        return QStringLiteral("原密码：%1").arg(*problem);
    if (newPassword.isEmpty()) return QStringLiteral("请输入新密码");
    if (const auto problem = passwordWireProblem(newPassword))
        return QStringLiteral("新密码：%1").arg(*problem);
    if (newPassword == oldPassword) return QStringLiteral("新密码与原密码相同");
    changingPassword_ = true;
    connection_->send(hall::changePassword(oldPassword, newPassword));
    passwordTimer_.start(answerTimeoutMs_);
    return std::nullopt;
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
    if (const auto* own = std::get_if<in::OwnRow>(&message)) {
        // The server's first answer to a hello it takes is the user's own row. Its name is the
        // one the server knows (an account's as it was registered): the table client logs in
        // with that, when its launch line can carry it.
        if (!nameProblem(own->row.name)) launch_.name = own->row.name;
        lastNotice_.clear();
        model_.apply(message);
        if (state_ == State::LoggingIn) {
            answerTimer_.stop();
            setState(State::LoggedIn);
        }
        return;
    }
    const auto* n = std::get_if<in::Notice>(&message);
    if (n == nullptr) lastNotice_.clear();
    if (model_.apply(message)) return;
    if (const auto* chat = std::get_if<in::Chat>(&message)) {
        emit chatLine(chat->speaker, chat->text);
    } else if (const auto* r = std::get_if<in::Reservation>(&message)) {
        onReservation(*r);
    } else if (const auto* w = std::get_if<in::GameWaiting>(&message)) {
        if (state_ == State::LoggedIn) emit gameWaiting(w->table, static_cast<int>(w->place));
    } else if (const auto* result = std::get_if<in::PasswordResult>(&message)) {
        // An answer that comes after its wait was given up is still the truth: it is told.
        endPasswordChange();
        if (result->changed) {
            emit passwordChanged();
        } else {
            emit passwordChangeRefused(result->reason.isEmpty() ? QStringLiteral("密码没有修改")
                                                                : result->reason);
        }
    } else if (n != nullptr) {
        if (state_ == State::LoggingIn) {
            refusal_ = n->text;
        } else {
            // The last word before the server closes says why (another login to the account).
            lastNotice_ = n->text;
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
    // A server of before grants without a ticket: the guest's own one lets the table in.
    launcher_.start(
        tableClient_, launchWords(launch_),
        launchEnvironment(r.ticket.isEmpty() ? guestTicket_ : r.ticket, tableTlsPolicy()));
    emit tableStarted(r.table, r.place);
}

void HallClient::onEnded(const QString& loginReason) {
    const State was = state_;
    dropConnection();
    answerTimer_.stop();
    endPasswordChange();
    model_.clear();
    setState(State::LoggedOut);
    if (was == State::LoggingIn) {
        emit loginFailed(loginReason);
    } else if (was == State::LoggedIn) {
        const QString lost = QStringLiteral("与大厅服务器的连接已断开");
        emit connectionLost(lastNotice_.isEmpty() ? lost
                                                  : lost + QStringLiteral("：") + lastNotice_);
    }
}

QString HallClient::tableTlsPolicy() const {
    if (!tls_.accepted) return {};
    if (tls_.verified) return tlsPolicyText({TlsPolicy::Mode::Verify, {}});
    return tlsPolicyText({TlsPolicy::Mode::Pin, tls_.fingerprint});
}

void HallClient::endPasswordChange() {
    changingPassword_ = false;
    passwordTimer_.stop();
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

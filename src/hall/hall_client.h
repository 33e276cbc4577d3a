#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <optional>

#include "hall/hall_connection.h"
#include "hall/hall_model.h"
#include "hall/hall_settings.h"
#include "hall/launch_words.h"
#include "hall/table_launcher.h"
#include "net/wire_limits.h"

namespace xq::hall {

// The hall as the user meets it, without its widgets: logging in and out, the room kept up to
// date, the hall chat, and taking a seat or a watcher's place, which starts the table client
// once the server grants it.
class HallClient : public QObject {
    Q_OBJECT

public:
    enum class State { LoggedOut, LoggingIn, LoggedIn };

    static constexpr int kMaxSayBytes = xq::kMaxSayBytes;
    // How long a login may wait for the connection, and then for the server's answer.
    static constexpr int kConnectTimeoutMs = 10000;
    static constexpr int kAnswerTimeoutMs = 15000;
    // A server that takes the connection and then says nothing is given up after this long.
    void setAnswerTimeout(int ms) { answerTimeoutMs_ = ms; }
    // How often the connection tells the server it is still there (tests shorten it).
    void setKeepAliveInterval(int ms) { keepAliveMs_ = ms; }

    explicit HallClient(TableLauncher& launcher, QObject* parent = nullptr);
    ~HallClient() override;

    void setTableClient(const QString& path) { tableClient_ = path; }
    const QString& tableClient() const { return tableClient_; }
    // A guest's secret, in place of the one kept for him (see startup/kept_ticket.h): the hall's
    // hello carries it, and a table client granted a place by a server of before gets it.
    void setTicket(const QString& ticket) { ticket_ = ticket; }
    // Where the guests' tickets are kept; the user's own folder unless told otherwise.
    void setTicketFolder(const QString& folder) { ticketFolder_ = folder; }
    // Where the servers' pinned certificates are kept; in memory for this run unless told.
    void setSettings(HallSettings* settings) { settings_ = settings ? settings : &ownSettings_; }
    HallSettings& settings() { return *settings_; }
    // Whether the next login goes over TLS. A password goes unencrypted only to this machine.
    void setEncrypted(bool on) { encrypted_ = on; }

    // Starts logging in: to an account with a password, as a guest without one. What is wrong with
    // the input, in words for the user, and nothing sent; nothing when the login is on its way.
    std::optional<QString> login(const QString& host, int port, const QString& name,
                                 const QString& password = {});
    // Registers a new account with this password and logs in to it; answers as login() does.
    std::optional<QString> registerAccount(const QString& host, int port, const QString& name,
                                           const QString& password);
    // Leaves the hall; table windows already started play on.
    void logout();

    // Asks for a seat or a watcher's place; the answer comes as a start or a refusal.
    void sit(int table, int seat);
    void watch(int table);
    // Asks the server to change the account's password; the answer comes as passwordChanged()
    // or passwordChangeRefused(). What is wrong, in words for the user, when nothing was sent.
    std::optional<QString> changePassword(const QString& oldPassword, const QString& newPassword);

    // Says a line in the hall chat. What is wrong with it, in words for the user, when it cannot
    // be sent; an empty line is not sent and is not wrong.
    std::optional<QString> say(const QString& text);

    State state() const { return state_; }
    // The name as the server knows it once logged in (an account's stored spelling), before that
    // as typed.
    const QString& userName() const { return launch_.name; }
    // The server of the last login.
    const QString& host() const { return launch_.host; }
    quint16 port() const { return launch_.port; }
    // Logged in, or logging in, to an account rather than as a guest.
    bool isAccount() const { return kind_ != Kind::Guest; }
    // What became of the server's certificate on this connection: nothing when it is plain.
    const TlsJudgement& tls() const { return tls_; }
    // The policy the table client is to follow to trust the same server: "" when plain.
    QString tableTlsPolicy() const;
    HallModel& model() { return model_; }

signals:
    void stateChanged(xq::hall::HallClient::State state);
    // The login did not succeed, or the connection ended: why, in words for the user.
    void loginFailed(const QString& reason);
    void connectionLost(const QString& reason);
    void chatLine(const QString& speaker, const QString& text);
    void notice(const QString& text);
    void reservationRefused(const QString& reason);
    // The table client was started for this place.
    void tableStarted(int table, xq::hall::Place place);
    void tableFailed(const QString& reason);
    void passwordChanged();
    void passwordChangeRefused(const QString& reason);
    // The server keeps a game of the user's at this seat (over its restart, or while his table
    // window is gone): he may go back to it with sit().
    void gameWaiting(int table, int seat);

private:
    enum class Kind { Guest, Account, Register };

    std::optional<QString> begin(const QString& host, int port, const QString& name,
                                 const QString& password, Kind kind);
    void onMessage(const in::ServerMessage& message);
    void onReservation(const in::Reservation& r);
    void onEnded(const QString& loginReason);
    void endPasswordChange();
    void setState(State state);
    void dropConnection();

    TableLauncher& launcher_;
    HallModel model_;
    QPointer<HallConnection> connection_;
    QTimer answerTimer_;
    QTimer passwordTimer_;
    State state_ = State::LoggedOut;
    Kind kind_ = Kind::Guest;
    LaunchData launch_;
    QString tableClient_;
    QString ticket_;
    QString ticketFolder_;
    QString guestTicket_;  // what the guest hello carried
    HallSettings ownSettings_;
    HallSettings* settings_ = &ownSettings_;
    bool encrypted_ = false;
    TlsJudgement tls_;
    bool changingPassword_ = false;
    int answerTimeoutMs_ = kAnswerTimeoutMs;
    int keepAliveMs_ = HallConnection::kKeepAliveMs;
    QString refusal_;     // a notice that came before the login was answered
    QString lastNotice_;  // a notice with nothing after it yet
};

}  // namespace xq::hall

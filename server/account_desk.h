#pragma once

#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QThreadPool>
#include <functional>

#include "server/account_book.h"
#include "server/login_guard.h"
#include "server/room.h"
#include "server/table_output.h"

namespace xq::server {

// Where the hall's accounts log in, register and change their passwords. It keeps the limits on
// guessing, looks accounts up in the book (answered later), and hashes and checks passwords on
// worker threads so that the tables never wait for Argon2; the answer comes back on the server's
// thread and goes to the room (a login) or to the connection (a refusal, a password changed).
class AccountDesk : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<qint64()>;
    // At most this many hashes wait or run at once; more are refused as a busy server.
    static constexpr int kMaxJobs = 32;

    AccountDesk(AccountBook* book, Room& room, TableOutput& out, LoginGuard::Limits limits,
                Clock clock, QObject* parent = nullptr);
    ~AccountDesk() override;

    struct Caller {
        ConnId id = 0;
        QHostAddress from;
        bool secure = false;  // TLS
    };
    void hello(const Caller& who, const QString& name, const QString& password, bool registering);
    void changePassword(const Caller& who, const QString& oldPassword, const QString& newPassword);
    // The connection ended: what is under way for it is dropped when done.
    void forget(ConnId id) { waiting_.remove(id); }
    // Whether a login of this connection is being checked.
    bool checking(ConnId id) const { return waiting_.contains(id); }

signals:
    // A login was decided: in (the room has him) or refused (closed).
    void decided(xq::server::ConnId id, bool in);

private:
    // Why a password may not travel over this connection, in words for the user.
    static bool mayCarryPasswords(const Caller& who);
    void refuse(ConnId id, const QString& why, const QString& notice);
    void answerChange(ConnId id, const QString& why, const QString& reason);
    // Runs `work` on a worker and `then` with its result here, unless the caller is gone.
    template <typename Result>
    bool offload(ConnId id, std::function<Result()> work, std::function<void(Result)> then);

    // The steps of a hello and of a change, each after the store's answer.
    void onNameChecked(const Caller& who, const QString& name, const QString& password,
                       const AccountBook::Found& taken);
    void onAccountFound(const Caller& who, const QString& name, const QString& password,
                        const QString& key, const AccountBook::Found& found);
    void onRegistered(const Caller& who, const QString& name, const QByteArray& hash);
    void onCreated(const Caller& who, const QString& name, const AccountBook::Creation& c);
    void onChangeFound(const Caller& who, const QString& key, const QString& oldPassword,
                       const QString& newPassword, const AccountBook::Found& found);

    AccountBook* book_;
    Room& room_;
    TableOutput& out_;
    LoginGuard guard_;
    Clock clock_;
    QThreadPool pool_;
    int jobs_ = 0;
    QSet<ConnId> waiting_;  // connections with work under way (one each)
};

}  // namespace xq::server

#include "server/account_desk.h"

#include <QPointer>
#include <memory>

#include "net/hall_messages.h"
#include "server/hello.h"
#include "server/store/password_hash.h"
#include "server/user_row_text.h"

namespace xq::server {
namespace {

const QString kWrong = QStringLiteral("用户名或密码错误");
const QString kStoreDown = QStringLiteral("服务器暂时无法登录，请稍后再试");
const QString kBusy = QStringLiteral("服务器繁忙，请稍后再试");

// Checked against when a name has no account, so that the answer takes as long as for one that
// has: the time taken does not tell which names exist.
const QByteArray& dummyHash() {
    static const QByteArray hash =
        hashPassword(QStringLiteral("no account has this password")).value_or(QByteArray());
    return hash;
}

}  // namespace

AccountDesk::AccountDesk(AccountBook* book, Room& room, TableOutput& out, LoginGuard::Limits limits,
                         Clock clock, QObject* parent)
    : QObject(parent),
      book_(book),
      room_(room),
      out_(out),
      guard_(limits),
      clock_(std::move(clock)) {
    // Each hash takes tens of megabytes for a tenth of a second: two at a time is what two
    // cores give without starving the tables.
    pool_.setMaxThreadCount(2);
}

AccountDesk::~AccountDesk() {
    waiting_.clear();
    pool_.waitForDone();
}

bool AccountDesk::mayCarryPasswords(const Caller& who) {
    return who.secure || who.from.isLoopback();
}

void AccountDesk::refuse(ConnId id, const QString& why, const QString& notice) {
    waiting_.remove(id);
    room_.refuseHall(id, why, notice);
    emit decided(id, false);
}

void AccountDesk::answerChange(ConnId id, const QString& why, const QString& reason) {
    waiting_.remove(id);
    out_.log(QStringLiteral("hall: %1 keeps the old password: %2").arg(room_.hallName(id), why));
    out_.send(ConnIds{id}, hall::passwordRefused(reason));
}

template <typename Result>
bool AccountDesk::offload(ConnId id, std::function<Result()> work,
                          std::function<void(Result)> then) {
    if (jobs_ >= kMaxJobs) return false;
    ++jobs_;
    waiting_.insert(id);
    QPointer<AccountDesk> self(this);
    pool_.start([self, id, work = std::move(work), then = std::move(then)]() mutable {
        auto result = std::make_shared<Result>(work());
        // Back on the server's thread; dropped with the desk if it is gone meanwhile.
        QMetaObject::invokeMethod(
            self.data(),
            [self, id, result, then = std::move(then)] {
                if (!self) return;
                --self->jobs_;
                if (!self->waiting_.contains(id)) return;  // the connection ended meanwhile
                then(std::move(*result));
            },
            Qt::QueuedConnection);
    });
    return true;
}

void AccountDesk::hello(const Caller& who, const QString& name, const QString& password,
                        bool registering) {
    const ConnId id = who.id;
    const QString what = registering ? QStringLiteral("registering") : QStringLiteral("login");
    if (!book_) {
        return refuse(id, QStringLiteral("hall: %1 with a password in a room of guests").arg(name),
                      QStringLiteral("本房间不设账号：请不填密码，以访客身份登录"));
    }
    if (!mayCarryPasswords(who)) {
        return refuse(id,
                      QStringLiteral("hall: %1 of %2 over plain text from %3")
                          .arg(what, name, who.from.toString()),
                      QStringLiteral("密码只能经加密连接或本机发送"));
    }
    if (!isValidName(name))
        return refuse(id, QStringLiteral("hall: %1 with a bad name").arg(what),
                      QStringLiteral("用户名无效"));
    if (const auto problem = hall::passwordWireProblem(password))
        return refuse(id, QStringLiteral("hall: %1 of %2 with a bad password").arg(what, name),
                      QStringLiteral("密码无效：") + *problem);
    const qint64 now = clock_();
    if (registering) {
        if (const auto wait = guard_.registrationWait(who.from, now)) {
            return refuse(
                id, QStringLiteral("hall: too many registrations from %1").arg(who.from.toString()),
                QStringLiteral("注册太频繁，请 %1 分钟后再试").arg(*wait));
        }
        // A name that is somebody's is told before any hashing: asking costs little, and the
        // insert still settles a race for the name.
        waiting_.insert(id);
        QPointer<AccountDesk> self(this);
        book_->find(name, [self, who, name, password](AccountBook::Found taken) {
            if (!self || !self->waiting_.contains(who.id)) return;
            self->onNameChecked(who, name, password, taken);
        });
        return;
    }

    const QString key = book_->keyOf(name);
    if (const auto wait = guard_.loginWait(who.from, key, now)) {
        return refuse(id,
                      QStringLiteral("hall: %1 from %2 waits %3 s after failed logins")
                          .arg(name, who.from.toString())
                          .arg(*wait),
                      QStringLiteral("登录失败次数太多，请 %1 秒后再试").arg(*wait));
    }
    waiting_.insert(id);
    QPointer<AccountDesk> self(this);
    book_->find(name, [self, who, name, password, key](AccountBook::Found found) {
        if (!self || !self->waiting_.contains(who.id)) return;
        self->onAccountFound(who, name, password, key, found);
    });
}

void AccountDesk::onNameChecked(const Caller& who, const QString& name, const QString& password,
                                const AccountBook::Found& taken) {
    const ConnId id = who.id;
    if (taken.kind == AccountBook::Found::Kind::Failed)
        return refuse(id, QStringLiteral("hall: the store failed looking up %1").arg(name),
                      kStoreDown);
    if (taken.kind != AccountBook::Found::Kind::Missing) {
        if (taken.name == name)
            return refuse(id, QStringLiteral("hall: %1 is registered already").arg(name),
                          QStringLiteral("用户名已被注册"));
        return refuse(id, QStringLiteral("hall: %1 is confusable with %2").arg(name, taken.name),
                      QStringLiteral("用户名与已有的用户太相似"));
    }
    const bool queued = offload<std::optional<QByteArray>>(
        id, [password] { return hashPassword(password); },
        [this, who, name](std::optional<QByteArray> hash) {
            if (!hash) {
                return refuse(who.id, QStringLiteral("hall: could not hash a password"),
                              kStoreDown);
            }
            onRegistered(who, name, *hash);
        });
    if (!queued) refuse(id, QStringLiteral("hall: too many logins at once"), kBusy);
}

void AccountDesk::onAccountFound(const Caller& who, const QString& name, const QString& password,
                                 const QString& key, const AccountBook::Found& found) {
    const ConnId id = who.id;
    switch (found.kind) {
        case AccountBook::Found::Kind::Failed:
            return refuse(id, QStringLiteral("hall: the store failed looking up %1").arg(name),
                          kStoreDown);
        case AccountBook::Found::Kind::NoPasswordYet:
            return refuse(id, QStringLiteral("hall: %1 has no password yet").arg(name),
                          QStringLiteral("该用户名是旧用户，尚未设置密码，请联系房间管理员"));
        case AccountBook::Found::Kind::Missing:
        case AccountBook::Found::Kind::Account:
            break;
    }
    const bool exists = found.kind == AccountBook::Found::Kind::Account;
    const QByteArray hash = exists ? found.hash : QByteArray();
    const bool queued = offload<bool>(
        id,
        [hash, password, exists] {
            const bool match = passwordMatches(exists ? hash : dummyHash(), password);
            return exists && match;
        },
        [this, who, name, key, stored = found.name, stats = found.stats](bool match) {
            waiting_.remove(who.id);
            if (!match) {
                guard_.failed(who.from, key, clock_());
                return refuse(who.id,
                              QStringLiteral("hall: wrong password for %1 from %2")
                                  .arg(name, who.from.toString()),
                              kWrong);
            }
            guard_.succeeded(who.from, key);
            room_.accountLogin(who.id, stored, stats);
            emit decided(who.id, true);
        });
    if (!queued) refuse(id, QStringLiteral("hall: too many logins at once"), kBusy);
}

void AccountDesk::onRegistered(const Caller& who, const QString& name, const QByteArray& hash) {
    waiting_.insert(who.id);
    QPointer<AccountDesk> self(this);
    book_->create(name, hash, facePicture(name), [self, who, name](AccountBook::Creation c) {
        if (!self || !self->waiting_.contains(who.id)) return;
        self->onCreated(who, name, c);
    });
}

void AccountDesk::onCreated(const Caller& who, const QString& name,
                            const AccountBook::Creation& c) {
    const QString& error = c.error;
    switch (c.made) {
        case AccountBook::Made::Created:
            break;
        case AccountBook::Made::NameTaken:
            return refuse(who.id, QStringLiteral("hall: %1 is registered already").arg(name),
                          QStringLiteral("用户名已被注册"));
        case AccountBook::Made::NameConfusable:
            return refuse(who.id,
                          QStringLiteral("hall: %1 is confusable with a name: %2").arg(name, error),
                          QStringLiteral("用户名与已有的用户太相似"));
        case AccountBook::Made::NameRefused:
            return refuse(who.id, QStringLiteral("hall: %1 refused: %2").arg(name, error),
                          QStringLiteral("用户名不能含有空格或控制字符"));
        case AccountBook::Made::Failed:
            return refuse(who.id,
                          QStringLiteral("hall: registering %1 failed: %2").arg(name, error),
                          kStoreDown);
    }
    waiting_.remove(who.id);
    guard_.registered(who.from, clock_());
    guard_.succeeded(who.from, book_->keyOf(name));
    out_.log(QStringLiteral("hall: account %1 registered from %2").arg(name, who.from.toString()));
    room_.accountLogin(who.id, name, c.stats);
    emit decided(who.id, true);
}

void AccountDesk::changePassword(const Caller& who, const QString& oldPassword,
                                 const QString& newPassword) {
    const ConnId id = who.id;
    const QString name = room_.hallName(id);
    if (name.isEmpty()) return;
    if (!book_ || !room_.isAccount(id))
        return answerChange(id, QStringLiteral("a guest"), QStringLiteral("访客没有密码"));
    if (!mayCarryPasswords(who))
        return answerChange(id, QStringLiteral("plain text"),
                            QStringLiteral("密码只能经加密连接或本机发送"));
    if (waiting_.contains(id))
        return answerChange(id, QStringLiteral("one change at a time"),
                            QStringLiteral("上一次修改尚未完成，请稍后"));
    if (const auto problem = hall::passwordWireProblem(newPassword))
        return answerChange(id, QStringLiteral("a bad password"),
                            QStringLiteral("密码无效：") + *problem);
    const QString key = book_->keyOf(name);
    if (const auto wait = guard_.loginWait(who.from, key, clock_())) {
        return answerChange(id, QStringLiteral("failed logins"),
                            QStringLiteral("登录失败次数太多，请 %1 秒后再试").arg(*wait));
    }
    waiting_.insert(id);
    QPointer<AccountDesk> self(this);
    book_->find(name, [self, who, key, oldPassword, newPassword](AccountBook::Found found) {
        if (!self || !self->waiting_.contains(who.id)) return;
        self->onChangeFound(who, key, oldPassword, newPassword, found);
    });
}

void AccountDesk::onChangeFound(const Caller& who, const QString& key, const QString& oldPassword,
                                const QString& newPassword, const AccountBook::Found& found) {
    const ConnId id = who.id;
    if (found.kind != AccountBook::Found::Kind::Account)
        return answerChange(id, QStringLiteral("the store failed"), kStoreDown);
    struct Outcome {
        bool oldMatches = false;
        std::optional<QByteArray> newHash;
    };
    const bool queued = offload<Outcome>(
        id,
        [hash = found.hash, oldPassword, newPassword] {
            Outcome o;
            o.oldMatches = passwordMatches(hash, oldPassword);
            if (o.oldMatches) o.newHash = hashPassword(newPassword);
            return o;
        },
        [this, who, key, stored = found.name](Outcome o) {
            if (!o.oldMatches) {
                guard_.failed(who.from, key, clock_());
                return answerChange(who.id, QStringLiteral("a wrong old password"),
                                    QStringLiteral("原密码错误"));
            }
            if (!o.newHash)
                return answerChange(who.id, QStringLiteral("could not hash"), kStoreDown);
            waiting_.insert(who.id);
            QPointer<AccountDesk> self(this);
            book_->setHash(stored, *o.newHash, [self, who, stored](QString error) {
                if (!self || !self->waiting_.contains(who.id)) return;
                if (!error.isEmpty()) return self->answerChange(who.id, error, kStoreDown);
                self->waiting_.remove(who.id);
                self->out_.log(QStringLiteral("hall: %1 changed the password").arg(stored));
                self->out_.send(ConnIds{who.id}, hall::passwordChanged());
            });
        });
    if (!queued) answerChange(id, QStringLiteral("too many at once"), kBusy);
}

}  // namespace xq::server

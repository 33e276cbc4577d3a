// The hall's logins against a real store on both back ends: who may send a password at all, the
// limits on guessing as an attacker meets them from other addresses, and registrations. The
// room's clock is the test's.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include "../support/eventually.h"
#include "net/cp936.h"
#include "net/hall_messages.h"
#include "scratch_store.h"
#include "server/account_desk.h"
#include "server/store_thread.h"
#include "server/stored_accounts.h"

namespace xq::test {
namespace {

using server::AccountDesk;
using server::ConnId;

class Recording : public server::TableOutput {
public:
    void send(const server::ConnIds& to, const QByteArray& message) override {
        for (ConnId id : to)
            inbox[id].append(message);
    }
    void close(ConnId id) override { closed.append(id); }
    void log(const QString& line) override { lines.append(line); }
    QHash<ConnId, QList<QByteArray>> inbox;
    QList<ConnId> closed;
    QStringList lines;
};

class AccountDeskTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        if (IsSkipped()) return;
        // The desk asks through the store's thread; the test looks with a connection of its own.
        QString error;
        thread = server::StoreThread::open(where(), &error);
        ASSERT_TRUE(thread) << error.toStdString();
        store = open();
        ASSERT_TRUE(store);
        accounts = std::make_unique<server::StoredAccounts>(*thread);
        makeDesk(accounts.get(), {});
    }
    void makeDesk(server::AccountBook* book, server::GuessingLimits limits) {
        desk.reset();
        room.reset();
        book_ = std::make_unique<server::StatsBook>();
        room = std::make_unique<server::Room>(
            out, server::RoomOptions{2, {}, 60'000, book != nullptr}, *book_);
        desk = std::make_unique<AccountDesk>(book, *room, out, limits, [this] { return now; });
    }

    // What became of a hello: "in", or the reason it was refused with.
    QString hello(const char* from, bool secure, const QString& name, const QString& password,
                  bool registering = false) {
        const ConnId id = nextId++;
        bool decided = false;
        QEventLoop loop;
        const auto c = QObject::connect(desk.get(), &AccountDesk::decided, &loop, [&](ConnId d) {
            if (d != id) return;
            decided = true;
            loop.quit();
        });
        desk->hello(AccountDesk::Caller{id, QHostAddress(QString::fromLatin1(from)), secure}, name,
                    password, registering);
        if (!decided) {
            QTimer::singleShot(10'000, &loop, &QEventLoop::quit);
            loop.exec();
        }
        QObject::disconnect(c);
        if (!decided) return QStringLiteral("no answer");
        if (room->inHall(id)) return QStringLiteral("in");
        return noticeOf(id);
    }
    QString noticeOf(ConnId id) const {
        const QList<QByteArray> got = out.inbox.value(id);
        for (auto it = got.rbegin(); it != got.rend(); ++it) {
            QString text;
            if (!it->isEmpty() && it->at(0) == 24 && decodeCp936(it->mid(1), text)) return text;
        }
        return {};
    }
    void registerAccount(const QString& name, const QString& password) {
        ASSERT_EQ(hello("127.0.0.1", false, name, password, true), QStringLiteral("in"));
    }

    std::unique_ptr<server::StoreThread> thread;
    std::unique_ptr<server::PlayerStore> store;
    std::unique_ptr<server::StoredAccounts> accounts;
    Recording out;
    std::unique_ptr<server::StatsBook> book_;
    std::unique_ptr<server::Room> room;
    std::unique_ptr<AccountDesk> desk;
    qint64 now = 1'000'000;
    ConnId nextId = 1;
};
XQ_ON_BOTH_BACKENDS(AccountDeskTest);

TEST_P(AccountDeskTest, APasswordTravelsOnlyOverTlsOrOnThisMachine) {
    registerAccount(QStringLiteral("王五"), QStringLiteral("secret"));
    const QString plain = QStringLiteral("密码只能经加密连接或本机发送");
    const struct {
        const char* from;
        bool secure;
        bool registering;
        const char* outcome;  // nullptr: refused as plain text
    } cases[] = {
        {"192.0.2.9", false, false, nullptr},     {"192.0.2.9", false, true, nullptr},
        {"2001:db8::9", false, false, nullptr},   {"192.0.2.9", true, false, "in"},
        {"127.0.0.1", false, false, "in"},        {"::1", false, false, "in"},
        {"::ffff:127.0.0.1", false, false, "in"},
    };
    for (const auto& c : cases) {
        const QString got =
            hello(c.from, c.secure, c.registering ? QStringLiteral("赵六") : QStringLiteral("王五"),
                  QStringLiteral("secret"), c.registering);
        EXPECT_EQ(got, c.outcome ? QString::fromUtf8(c.outcome) : plain) << c.from;
    }
    EXPECT_FALSE(store->find(QStringLiteral("赵六"))) << "nothing registered over plain text";
    EXPECT_TRUE(out.lines.filter(QStringLiteral("secret")).isEmpty());
}

TEST_P(AccountDeskTest, GuessingIsStoppedWithoutLockingTheOwnerOut) {
    registerAccount(QStringLiteral("王五"), QStringLiteral("right"));
    registerAccount(QStringLiteral("赵六"), QStringLiteral("right"));
    // The owner logged in from his usual place before the attack.
    ASSERT_EQ(hello("192.0.2.7", true, QStringLiteral("王五"), QStringLiteral("right")),
              QStringLiteral("in"));
    const QString wrong = QStringLiteral("用户名或密码错误");
    for (int i = 0; i < 10; ++i) {
        now += 1000;
        ASSERT_EQ(hello("192.0.2.66", true, QStringLiteral("王五"), QStringLiteral("guess")), wrong)
            << i;
    }
    now += 1000;
    const struct {
        const char* from;
        const char* name;
        const char* password;
        const char* outcome;
    } cases[] = {
        // The attacker is stopped, for this name and for any other, before any hash is checked.
        {"192.0.2.66", "王五", "right", "登录失败次数太多，请 50 秒后再试"},
        {"192.0.2.66", "赵六", "right", "登录失败次数太多，请 50 秒后再试"},
        // So is a place that never opened this account, even with the right password...
        {"192.0.2.8", "王五", "right", "登录失败次数太多，请 50 秒后再试"},
        // ...but not the owner's usual place, nor another account from there.
        {"192.0.2.7", "王五", "right", "in"},
        {"192.0.2.8", "赵六", "right", "in"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hello(c.from, true, QString::fromUtf8(c.name), QString::fromUtf8(c.password)),
                  QString::fromUtf8(c.outcome))
            << c.from << " " << c.name;
    }
    // A minute after the first failure the oldest drops out of the count, one at a time.
    now += 50'000;
    EXPECT_EQ(hello("192.0.2.66", true, QStringLiteral("王五"), QStringLiteral("guess")), wrong);
    EXPECT_EQ(hello("192.0.2.66", true, QStringLiteral("王五"), QStringLiteral("guess")),
              QStringLiteral("登录失败次数太多，请 1 秒后再试"));
}

TEST_P(AccountDeskTest, RegistrationsFromOneAddressAreFewAnHour) {
    makeDesk(accounts.get(), server::GuessingLimits{10, 2});
    EXPECT_EQ(hello("192.0.2.5", true, QStringLiteral("甲一"), QStringLiteral("pw"), true),
              QStringLiteral("in"));
    now += 60'000;
    EXPECT_EQ(hello("192.0.2.5", true, QStringLiteral("甲二"), QStringLiteral("pw"), true),
              QStringLiteral("in"));
    EXPECT_EQ(hello("192.0.2.5", true, QStringLiteral("甲三"), QStringLiteral("pw"), true),
              QStringLiteral("注册太频繁，请 59 分钟后再试"));
    EXPECT_EQ(hello("192.0.2.6", true, QStringLiteral("甲三"), QStringLiteral("pw"), true),
              QStringLiteral("in"));
    now += 59 * 60'000;
    EXPECT_EQ(hello("192.0.2.5", true, QStringLiteral("甲四"), QStringLiteral("pw"), true),
              QStringLiteral("in"));
    // Refusals of a name do not use up the address's registrations.
    EXPECT_EQ(hello("192.0.2.6", true, QStringLiteral("甲三"), QStringLiteral("pw"), true),
              QStringLiteral("用户名已被注册"));
    EXPECT_EQ(hello("192.0.2.6", true, QStringLiteral("甲五"), QStringLiteral("pw"), true),
              QStringLiteral("in"));
}

TEST_P(AccountDeskTest, APasswordChangeNeedsTheOldOneAndARoomOfGuestsHasNone) {
    registerAccount(QStringLiteral("王五"), QStringLiteral("old"));
    const ConnId id = nextId - 1;
    const auto change = [&](const char* from, bool secure, const QString& old) {
        const qsizetype before = out.inbox.value(id).size();
        desk->changePassword(
            AccountDesk::Caller{id, QHostAddress(QString::fromLatin1(from)), secure}, old,
            QStringLiteral("new"));
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (out.inbox.value(id).size() > before) loop.quit();
        });
        poll.start(5);
        QTimer::singleShot(10'000, &loop, &QEventLoop::quit);
        if (out.inbox.value(id).size() == before) loop.exec();
        const auto parsed = hall::parseServerMessage(out.inbox.value(id).value(before));
        if (!parsed || !std::holds_alternative<hall::in::PasswordResult>(*parsed))
            return QStringLiteral("no answer");
        const auto r = std::get<hall::in::PasswordResult>(*parsed);
        return r.changed ? QStringLiteral("changed") : r.reason;
    };
    EXPECT_EQ(change("192.0.2.1", false, QStringLiteral("old")),
              QStringLiteral("密码只能经加密连接或本机发送"));
    EXPECT_EQ(change("127.0.0.1", false, QStringLiteral("wrong")), QStringLiteral("原密码错误"));
    EXPECT_EQ(change("127.0.0.1", false, QStringLiteral("old")), QStringLiteral("changed"));
    EXPECT_EQ(store->checkPassword(QStringLiteral("王五"), QStringLiteral("new")),
              server::PlayerStore::Login::Ok);

    makeDesk(nullptr, {});
    EXPECT_EQ(hello("127.0.0.1", false, QStringLiteral("王五"), QStringLiteral("new")),
              QStringLiteral("本房间不设账号：请不填密码，以访客身份登录"));
}

TEST_P(AccountDeskTest, AConnectionGoneWhileItsPasswordIsCheckedIsNotLetIn) {
    registerAccount(QStringLiteral("王五"), QStringLiteral("right"));
    const ConnId id = nextId++;
    desk->hello(AccountDesk::Caller{id, QHostAddress::LocalHost, false}, QStringLiteral("王五"),
                QStringLiteral("right"), false);
    EXPECT_TRUE(desk->checking(id));
    desk->forget(id);
    // Whatever the worker answers now finds nobody to let in.
    QEventLoop loop;
    QTimer::singleShot(1500, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_FALSE(room->inHall(id));
    EXPECT_TRUE(out.inbox.value(id).isEmpty());
}

}  // namespace
}  // namespace xq::test

namespace xq::test {
namespace {

TEST_P(AccountDeskTest, AStoreThatDoesNotAnswerIsToldAsTryLaterForEveryStep) {
    registerAccount(QStringLiteral("王五"), QStringLiteral("old"));
    const ConnId id = nextId - 1;
    // The store's thread is held longer than the accounts wait for it.
    server::StoredAccounts impatient(*thread, 150);
    makeDesk(&impatient, {});
    room->accountLogin(id, QStringLiteral("王五"));
    thread->post([](server::PlayerStore&) { QThread::msleep(1500); });
    const QString later = QStringLiteral("服务器暂时无法登录，请稍后再试");
    EXPECT_EQ(hello("127.0.0.1", false, QStringLiteral("王五"), QStringLiteral("old")), later);
    EXPECT_EQ(hello("127.0.0.1", false, QStringLiteral("赵六"), QStringLiteral("pw"), true), later);
    const qsizetype before = out.inbox.value(id).size();
    desk->changePassword(AccountDesk::Caller{id, QHostAddress::LocalHost, false},
                         QStringLiteral("old"), QStringLiteral("new"));
    ASSERT_TRUE(Eventually([&] { return out.inbox.value(id).size() > before; }, 5000));
    EXPECT_EQ(out.inbox.value(id).value(before), hall::passwordRefused(later));
    // Once it answers again, so does the desk.
    ASSERT_TRUE(Eventually([&] { return thread->backlog() == 0; }, 5000));
    EXPECT_EQ(hello("127.0.0.1", false, QStringLiteral("王五"), QStringLiteral("old")),
              QStringLiteral("in"));
    EXPECT_FALSE(store->find(QStringLiteral("赵六"))) << "not registered after all";
    makeDesk(accounts.get(), {});
}

}  // namespace
}  // namespace xq::test

// Accounts in the players' store, on both back ends, and the administrator's command of the real
// server program.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <array>
#include <latch>
#include <limits>
#include <thread>
#include <vector>

#include "scratch_store.h"
#include "server/store/password_hash.h"

namespace xq::test {
namespace {

using Login = server::PlayerStore::Login;
using Registration = server::PlayerStore::Registration;

TEST(PasswordHash, MatchesOnlyItsOwnPasswordAndNeverHoldsIt) {
    const auto hash = server::hashPassword(QStringLiteral("马后炮 horse"));
    ASSERT_TRUE(hash);
    EXPECT_TRUE(hash->startsWith("$argon2id$"));
    EXPECT_FALSE(hash->contains("horse"));
    const struct {
        const char* tried;
        bool matches;
    } cases[] = {
        {"马后炮 horse", true}, {"马后炮 Horse", false}, {"马后炮 horse ", false}, {"", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(server::passwordMatches(*hash, QString::fromUtf8(c.tried)), c.matches) << c.tried;
    }
    // A fresh salt each time: the same password never gives the same text twice.
    EXPECT_NE(server::hashPassword(QStringLiteral("马后炮 horse")), hash);
    for (const QByteArray& damaged : {QByteArray(), QByteArray("$argon2id$v=19$m=1"),
                                      hash->left(hash->size() - 3), QByteArray(200, 'a')}) {
        EXPECT_FALSE(server::passwordMatches(damaged, QStringLiteral("马后炮 horse")));
    }
}

TEST(PasswordHash, PasswordsThatCannotBeAccountsAreRefusedWithAReason) {
    const QString cases[] = {QString(), QString(129, u'a'), QString(43, u'象'),
                             QStringLiteral("a") + QChar(0) + QStringLiteral("b")};
    for (const QString& p : cases) {
        EXPECT_FALSE(server::passwordProblem(p).isEmpty()) << p.size();
    }
    EXPECT_TRUE(server::passwordProblem(QString(128, u'a')).isEmpty());
    EXPECT_TRUE(server::passwordProblem(QString(42, u'象')).isEmpty());  // 126 bytes
}

using AccountTest = StoreTest;
XQ_ON_BOTH_BACKENDS(AccountTest);

TEST_P(AccountTest, AnAccountOpensWithItsPasswordOnlyAndKeepsItsNameForItself) {
    auto store = open();
    ASSERT_TRUE(store);
    QString error;
    ASSERT_EQ(store->createAccount(QStringLiteral("王五"), QStringLiteral("炮二平五"), 4, &error),
              Registration::Created)
        << error.toStdString();
    const auto made = store->find(QStringLiteral("王五"));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->score, 1000);
    EXPECT_EQ(made->face, 4);

    const struct {
        const char* name;
        const char* password;
        Login expected;
    } logins[] = {
        {"王五", "炮二平五", Login::Ok},        {"王五", "炮八平五", Login::WrongPassword},
        {"王五", "", Login::WrongPassword},     {"王六", "炮二平五", Login::NoSuchAccount},
        {"", "炮二平五", Login::NoSuchAccount},
    };
    for (const auto& l : logins) {
        EXPECT_EQ(store->checkPassword(QString::fromUtf8(l.name), QString::fromUtf8(l.password)),
                  l.expected)
            << l.name << " / " << l.password;
    }

    // A second registration of the name is refused and changes nothing.
    EXPECT_EQ(store->createAccount(QStringLiteral("王五"), QStringLiteral("mine now"), 9, &error),
              Registration::NameTaken);
    EXPECT_NE(error.indexOf(QStringLiteral("taken")), -1) << error.toStdString();
    EXPECT_EQ(store->checkPassword(QStringLiteral("王五"), QStringLiteral("炮二平五")), Login::Ok);
    EXPECT_EQ(store->find(QStringLiteral("王五"))->face, 4);

    // Refused before the store is touched.
    const struct {
        QString name, password;
        Registration expected;
    } refused[] = {
        {QString(), QStringLiteral("pw"), Registration::NameRefused},
        {QStringLiteral("赵 六"), QStringLiteral("pw"), Registration::NameRefused},
        {QStringLiteral("赵六"), QString(), Registration::PasswordRefused},
        {QStringLiteral("赵六"), QString(200, u'x'), Registration::PasswordRefused},
    };
    for (const auto& r : refused) {
        error.clear();
        EXPECT_EQ(store->createAccount(r.name, r.password, 0, &error), r.expected)
            << r.name.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_FALSE(store->find(QStringLiteral("赵六")));

    // The account and its password outlive the store.
    store.reset();
    store = open();
    ASSERT_TRUE(store);
    EXPECT_EQ(store->checkPassword(QStringLiteral("王五"), QStringLiteral("炮二平五")), Login::Ok);
}

TEST_P(AccountTest, APlayerWithoutPasswordIsOpenedOnlyByTheOneThatIsSetForHim) {
    auto store = open();
    ASSERT_TRUE(store);
    ASSERT_TRUE(store->enter(QStringLiteral("老将"), 3));
    QString stored;
    EXPECT_EQ(store->checkPassword(QStringLiteral("老将"), QStringLiteral("any"), &stored),
              Login::NoPasswordYet);
    EXPECT_EQ(stored, QStringLiteral("老将"));
    QString error;
    EXPECT_FALSE(store->setPassword(QStringLiteral("无名"), QStringLiteral("pw"), &error));
    EXPECT_FALSE(error.isEmpty());
    ASSERT_TRUE(store->setPassword(QStringLiteral("老将"), QStringLiteral("新的"), &error))
        << error.toStdString();
    EXPECT_EQ(store->checkPassword(QStringLiteral("老将"), QStringLiteral("新的")), Login::Ok);
    EXPECT_EQ(store->checkPassword(QStringLiteral("老将"), QStringLiteral("any")),
              Login::WrongPassword);
    // A reset replaces the old password.
    ASSERT_TRUE(store->setPassword(QStringLiteral("老将"), QStringLiteral("再换"), &error));
    EXPECT_EQ(store->checkPassword(QStringLiteral("老将"), QStringLiteral("新的")),
              Login::WrongPassword);
    EXPECT_EQ(store->checkPassword(QStringLiteral("老将"), QStringLiteral("再换")), Login::Ok);
}

// The server program's own command, as an administrator runs it: the password on standard input.
TEST_P(AccountTest, TheServerAddsAndResetsAccountsFromStandardInput) {
    const auto run = [&](const QStringList& args, const QByteArray& input) {
        QProcess p;
        p.start(QStringLiteral(XQ_SERVER_BINARY),
                QStringList{QStringLiteral("--db"), where()} + args);
        EXPECT_TRUE(p.waitForStarted(10000));
        p.write(input);
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(30000));
        const QByteArray said = p.readAllStandardError() + p.readAllStandardOutput();
        EXPECT_FALSE(said.contains("s3cret")) << "the password is never told";
        return std::pair{p.exitCode(), QString::fromUtf8(said)};
    };
    const struct {
        QStringList args;
        QByteArray input;
        int exitCode;
        const char* says = "";
    } steps[] = {
        {{QStringLiteral("--add-user"), QStringLiteral("王五")}, "s3cret\r\nignored\n", 0},
        {{QStringLiteral("--add-user"), QStringLiteral("王五")}, "s3cret-other\n", 1},
        {{QStringLiteral("--reset-password"), QStringLiteral("无名")}, "s3cret\n", 1},
        {{QStringLiteral("--add-user"), QStringLiteral("李四")}, "", 1},
        {{QStringLiteral("--reset-password"), QStringLiteral("王五")}, "s3cret-new", 0},
        {{QStringLiteral("--add-user"), QStringLiteral("x"), QStringLiteral("--no-db")},
         "s3cret\n",
         2},
        {{QStringLiteral("--add-user"), QStringLiteral("Wang")}, "s3cret\n", 0},
        // A look-alike is refused, naming the player it resembles.
        {{QStringLiteral("--add-user"), QStringLiteral("ＷＡＮＧ")}, "s3cret\n", 1, "Wang"},
        {{QStringLiteral("--reset-password"), QStringLiteral("wang")}, "s3cret-2\n", 0, "Wang"},
    };
    for (const auto& s : steps) {
        const auto [code, said] = run(s.args, s.input);
        EXPECT_EQ(code, s.exitCode)
            << s.args.join(u' ').toStdString() << ": " << said.toStdString();
        if (s.exitCode != 0) {
            EXPECT_FALSE(said.trimmed().isEmpty()) << "a refusal says why";
        }
        EXPECT_TRUE(said.contains(QString::fromUtf8(s.says))) << said.toStdString();
    }
    auto store = open();
    ASSERT_TRUE(store);
    EXPECT_EQ(store->checkPassword(QStringLiteral("王五"), QStringLiteral("s3cret-new")),
              Login::Ok);
    EXPECT_EQ(store->checkPassword(QStringLiteral("王五"), QStringLiteral("s3cret")),
              Login::WrongPassword);
    EXPECT_FALSE(store->find(QStringLiteral("李四")));
    EXPECT_EQ(store->checkPassword(QStringLiteral("Wang"), QStringLiteral("s3cret-2")), Login::Ok);
}

TEST_P(AccountTest, ALookAlikeOfAStoredNameIsNotANewPlayerButTheStoredOne) {
    auto store = open();
    ASSERT_TRUE(store);
    QString error;
    ASSERT_EQ(store->createAccount(QStringLiteral("Abc"), QStringLiteral("pw"), 2, &error),
              Registration::Created)
        << error.toStdString();
    const struct {
        const char16_t* name;
        const char* password;
        Registration expected;
    } registrations[] = {
        {u"Abc", "other", Registration::NameTaken},
        {u"abc", "other", Registration::NameConfusable},
        {u"\u0410bc", "other", Registration::NameConfusable},  // a Cyrillic А
        {u"ＡＢＣ", "other", Registration::NameConfusable},
        {u"A\u200Dbc", "other", Registration::NameRefused},
        {u"Abd", "", Registration::PasswordRefused},
        {u"Abd", "pw", Registration::Created},
    };
    for (const auto& r : registrations) {
        const QString name = QString::fromUtf16(r.name);
        error.clear();
        EXPECT_EQ(store->createAccount(name, QString::fromUtf8(r.password), 0, &error), r.expected)
            << name.toStdString() << ": " << error.toStdString();
        if (r.expected == Registration::NameConfusable) {
            EXPECT_TRUE(error.contains(QStringLiteral("Abc"))) << error.toStdString();
        }
    }
    EXPECT_EQ(RawDatabase(where()).value(QStringLiteral("SELECT COUNT(*) FROM players")).toInt(),
              2);

    // Logging in under a look-alike is logging in as the stored name.
    const struct {
        const char16_t* name;
        const char* password;
        Login expected;
        const char16_t* stored;
    } logins[] = {
        {u"Abc", "pw", Login::Ok, u"Abc"},
        {u"\u0430\u0432\u0441", "pw", Login::NoSuchAccount, u"-"},  // а, в, с: not "abc" to ICU
        {u"\u0430bc", "pw", Login::Ok, u"Abc"},
        {u"ａｂｃ", "wrong", Login::WrongPassword, u"Abc"},
        {u"a\u200Bbc", "pw", Login::Ok, u"Abc"},
        {u"ABD", "pw", Login::Ok, u"Abd"},
        {u"Abe", "pw", Login::NoSuchAccount, u"-"},
    };
    for (const auto& l : logins) {
        const QString name = QString::fromUtf16(l.name);
        QString stored = QStringLiteral("-");
        EXPECT_EQ(store->checkPassword(name, QString::fromUtf8(l.password), &stored), l.expected)
            << name.toStdString();
        EXPECT_EQ(stored, QString::fromUtf16(l.stored)) << name.toStdString();
    }

    // Entering under a look-alike is entering as the stored player; no second row is made.
    const auto found = store->find(QStringLiteral("abc"));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->name, QStringLiteral("Abc"));
    const auto entered = store->enter(QStringLiteral("ＡＢＣ"), 7);
    ASSERT_TRUE(entered) << store->lastError().toStdString();
    EXPECT_EQ(*entered, *found);
    EXPECT_FALSE(store->enter(QStringLiteral("新 人"), 7));
    EXPECT_FALSE(store->lastError().isEmpty());

    // An administrator resetting a look-alike resets the stored player, and learns his name.
    QString stored;
    ASSERT_TRUE(store->setPassword(QStringLiteral("aBC"), QStringLiteral("new"), &error, &stored))
        << error.toStdString();
    EXPECT_EQ(stored, QStringLiteral("Abc"));
    EXPECT_EQ(store->checkPassword(QStringLiteral("Abc"), QStringLiteral("new")), Login::Ok);
}

// A login for a name nobody has costs a hash check as a known one does, so that its speed does
// not tell which names are accounts. The fault it catches is a difference of hundreds of times.
TEST_P(AccountTest, AnUnknownNameIsAnsweredNoSoonerThanAKnownOne) {
    auto store = open();
    ASSERT_TRUE(store);
    QString error;
    ASSERT_EQ(store->createAccount(QStringLiteral("王五"), QStringLiteral("pw"), 0, &error),
              Registration::Created);
    ASSERT_TRUE(store->enter(QStringLiteral("老将"), 0));
    const auto fastest = [&](const QString& name) {
        qint64 best = std::numeric_limits<qint64>::max();
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer t;
            t.start();
            store->checkPassword(name, QStringLiteral("wrong"));
            best = std::min(best, t.nsecsElapsed());
        }
        return best;
    };
    const qint64 known = fastest(QStringLiteral("王五"));
    EXPECT_GT(fastest(QStringLiteral("无名")), known / 4);
    EXPECT_GT(fastest(QStringLiteral("老将")), known / 4);  // no password yet
}

// Two servers on one database registering look-alikes at the same moment: the unique key lets
// exactly one in, and the other is told why rather than that the store failed.
TEST_P(AccountTest, OfTwoLookAlikesRegisteredAtOnceExactlyOneIsMade) {
    ASSERT_TRUE(open());
    const struct {
        const char16_t* names[2];
        Registration loser;
    } rounds[] = {
        {{u"racer", u"r\u0430cer"}, Registration::NameConfusable},
        {{u"Rook", u"ROOK"}, Registration::NameConfusable},
        {{u"象棋", u"象棋"}, Registration::NameTaken},
        {{u"Ｍａ", u"rna"}, Registration::NameConfusable},
    };
    for (const auto& r : rounds) {
        std::latch start(2);
        std::array<Registration, 2> results{Registration::Failed, Registration::Failed};
        std::array<QString, 2> errors;
        std::vector<std::thread> servers;
        for (int i = 0; i < 2; ++i) {
            servers.emplace_back([&, i] {
                QString error;
                auto store = server::PlayerStore::open(where(), &error);
                start.arrive_and_wait();
                if (!store) {
                    errors[i] = error;
                    return;
                }
                results[i] = store->createAccount(QString::fromUtf16(r.names[i]),
                                                  QStringLiteral("pw"), 0, &errors[i]);
            });
        }
        for (auto& s : servers) {
            s.join();
        }
        const QString trace =
            QStringLiteral("%1: %2 / %3").arg(QString::fromUtf16(r.names[0]), errors[0], errors[1]);
        EXPECT_EQ(std::count(results.begin(), results.end(), Registration::Created), 1)
            << trace.toStdString();
        const Registration loser = results[0] == Registration::Created ? results[1] : results[0];
        EXPECT_EQ(loser, r.loser) << trace.toStdString();
    }
    EXPECT_EQ(RawDatabase(where()).value(QStringLiteral("SELECT COUNT(*) FROM players")).toInt(),
              4);
}

}  // namespace
}  // namespace xq::test

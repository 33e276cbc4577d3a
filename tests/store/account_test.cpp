// Accounts in the players' store, on both back ends, and the administrator's command of the real
// server program.
#include <gtest/gtest.h>

#include <QProcess>

#include "scratch_store.h"
#include "server/store/password_hash.h"

namespace xq::test {
namespace {

using Login = server::PlayerStore::Login;

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
    ASSERT_TRUE(store->createAccount(QStringLiteral("王五"), QStringLiteral("炮二平五"), 4, &error))
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
    EXPECT_FALSE(
        store->createAccount(QStringLiteral("王五"), QStringLiteral("mine now"), 9, &error));
    EXPECT_NE(error.indexOf(QStringLiteral("taken")), -1) << error.toStdString();
    EXPECT_EQ(store->checkPassword(QStringLiteral("王五"), QStringLiteral("炮二平五")), Login::Ok);
    EXPECT_EQ(store->find(QStringLiteral("王五"))->face, 4);

    // Refused before the store is touched.
    for (const auto& [name, password] :
         {std::pair{QString(), QStringLiteral("pw")}, std::pair{QStringLiteral("赵六"), QString()},
          std::pair{QStringLiteral("赵六"), QString(200, u'x')}}) {
        error.clear();
        EXPECT_FALSE(store->createAccount(name, password, 0, &error));
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
    EXPECT_EQ(store->checkPassword(QStringLiteral("老将"), QStringLiteral("any")),
              Login::NoPasswordYet);
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
    } steps[] = {
        {{QStringLiteral("--add-user"), QStringLiteral("王五")}, "s3cret\r\nignored\n", 0},
        {{QStringLiteral("--add-user"), QStringLiteral("王五")}, "s3cret-other\n", 1},
        {{QStringLiteral("--reset-password"), QStringLiteral("无名")}, "s3cret\n", 1},
        {{QStringLiteral("--add-user"), QStringLiteral("李四")}, "", 1},
        {{QStringLiteral("--reset-password"), QStringLiteral("王五")}, "s3cret-new", 0},
        {{QStringLiteral("--add-user"), QStringLiteral("x"), QStringLiteral("--no-db")},
         "s3cret\n",
         2},
    };
    for (const auto& s : steps) {
        const auto [code, said] = run(s.args, s.input);
        EXPECT_EQ(code, s.exitCode)
            << s.args.join(u' ').toStdString() << ": " << said.toStdString();
        if (s.exitCode != 0) EXPECT_FALSE(said.trimmed().isEmpty()) << "a refusal says why";
    }
    auto store = open();
    ASSERT_TRUE(store);
    EXPECT_EQ(store->checkPassword(QStringLiteral("王五"), QStringLiteral("s3cret-new")),
              Login::Ok);
    EXPECT_EQ(store->checkPassword(QStringLiteral("王五"), QStringLiteral("s3cret")),
              Login::WrongPassword);
    EXPECT_FALSE(store->find(QStringLiteral("李四")));
}

}  // namespace
}  // namespace xq::test

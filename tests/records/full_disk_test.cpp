// Saving when the disk is full: the old file stays, the failure is reported. The disk is a real
// small tmpfs where the test may mount one; elsewhere the process's file-size limit makes the
// kernel refuse the write at the same point.

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/resource.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <functional>

#include "../game/table_harness.h"
#include "prefs/user_settings.h"
#include "records/atomic_write.h"
#include "records/record_file.h"

namespace xq {
namespace {

// A folder where writing more than about `room` further bytes fails.
class FullDisk {
public:
    explicit FullDisk(qint64 room) {
        dir_ = tmp_.path() + QStringLiteral("/disk");
        QDir().mkpath(dir_);
        const QByteArray options = "size=64k";
        mounted_ = ::mount("tmpfs", QFile::encodeName(dir_).constData(), "tmpfs", 0,
                           options.constData()) == 0;
        room_ = room;
    }
    ~FullDisk() {
        unlimit();
        if (mounted_) ::umount2(QFile::encodeName(dir_).constData(), MNT_DETACH);
    }
    QString path(const QString& name) const { return dir_ + u'/' + name; }
    // From now on the disk has only `room` bytes left.
    void fill() {
        if (mounted_) {
            QFile filler(path(QStringLiteral("filler")));
            filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
            const QByteArray block(4096, 'f');
            while (filler.write(block) == block.size()) {
            }
            filler.close();
            // Give back what the test allows.
            filler.resize(std::max<qint64>(0, filler.size() - room_));
        } else {
            std::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending the process
            getrlimit(RLIMIT_FSIZE, &old_);
            rlimit small = old_;
            small.rlim_cur = static_cast<rlim_t>(room_);
            setrlimit(RLIMIT_FSIZE, &small);
            limited_ = true;
        }
    }
    void unlimit() {
        if (limited_) setrlimit(RLIMIT_FSIZE, &old_);
        limited_ = false;
    }
    bool realDisk() const { return mounted_; }

private:
    QTemporaryDir tmp_;
    QString dir_;
    bool mounted_ = false;
    bool limited_ = false;
    qint64 room_ = 0;
    rlimit old_{};
};

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

QiPuHistory LongGame(int moves) {
    QiPuHistory h{QiPuItem{}};
    for (int i = 0; i < moves; ++i)
        h.push_back(QiPuItem{0x77, 19, 0x74, 0});
    return h;
}

TEST(FullDisk, EveryFileTheProgramWritesKeepsItsOldContent) {
    const struct {
        const char* what;
        QString file;
        std::function<bool(const QString&, QString*)> save;
    } cases[] = {
        // Small writes are the treacherous ones: they wait in a buffer until the commit.
        {"short record", "game.drak",
         [](const QString& p, QString* e) { return SaveQiPuFile(p, LongGame(20), e); }},
        {"long record", "game.drak",
         [](const QString& p, QString* e) { return SaveQiPuFile(p, LongGame(2000), e); }},
        {"text record", "game.txt",
         [](const QString& p, QString* e) {
             return saveTextRecord(p, QStringList(20, QStringLiteral("红1 ：炮二平五")), e);
         }},
        {"small file", "data.bin",
         [](const QString& p, QString* e) {
             return writeFileAtomically(p, QByteArray(3000, 'x'), e);
         }},
        {"large file", "data.bin",
         [](const QString& p, QString* e) {
             return writeFileAtomically(p, QByteArray(40000, 'x'), e);
         }},
    };
    for (const auto& c : cases) {
        FullDisk disk(0);
        const QString path = disk.path(c.file);
        ASSERT_TRUE(writeFileAtomically(path, "the old content\r\n")) << c.what;
        disk.fill();
        QString error;
        EXPECT_FALSE(c.save(path, &error)) << c.what << ": a save that did not happen";
        disk.unlimit();
        EXPECT_FALSE(error.isEmpty()) << c.what;
        EXPECT_EQ(Read(path), "the old content\r\n")
            << c.what << " (real disk " << disk.realDisk() << ", " << error.toStdString() << ")";
    }
}

TEST(FullDisk, TheSettingsFileKeepsItsOldValues) {
    FullDisk disk(0);
    UserSettings before;
    before.bteSoundOn = 0;
    const QString folder = disk.path(QString());
    ASSERT_TRUE(SaveUserSet(before, folder));
    const QByteArray old = Read(folder + QLatin1String(kUserSetFile));
    disk.fill();
    UserSettings after;
    after.bteQiPanStyle = 3;
    QString error;
    EXPECT_FALSE(SaveUserSet(after, folder, &error));
    disk.unlimit();
    EXPECT_EQ(Read(folder + QLatin1String(kUserSetFile)), old);
}

TEST(FullDisk, TheUserIsToldWhenTheGameCannotBeSaved) {
    FullDisk disk(0);
    test::Harness h;
    h.seat("红方", "黑方");
    h.start(0);
    for (int i = 0; i < 40; ++i) {  // chariots back and forth
        const int seat = i % 2;
        const int from = seat == 0 ? (i % 4 == 0 ? 9 : 8) : (i % 4 == 1 ? 0 : 1);
        const int to = seat == 0 ? (i % 4 == 0 ? 8 : 9) : (i % 4 == 1 ? 1 : 0);
        h.gameMsg(h.move(seat, from, 0, to, 0));
    }
    ASSERT_EQ(qiPuUpperBound(h.game.QiPuData), 40);
    h.screen.fileName = disk.path(QStringLiteral("long.drak"));
    ASSERT_TRUE(writeFileAtomically(h.screen.fileName, "119#19#116#0\r\n"));
    disk.fill();
    h.table.DoUserOpt(kBtnSave);
    disk.unlimit();
    ASSERT_FALSE(h.screen.boxes.empty());
    EXPECT_TRUE(
        h.screen.boxes.back().note.startsWith(QStringLiteral("棋谱保存失败：") + h.screen.fileName))
        << h.screen.boxes.back().note.toStdString();
    EXPECT_EQ(Read(h.screen.fileName), "119#19#116#0\r\n");
}

}  // namespace
}  // namespace xq

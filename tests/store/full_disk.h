#pragma once

#include <sys/mount.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace xq::test {

// A small file system of its own (a tmpfs) that the test fills and frees again, as the full-disk
// tests of the records do. Where mounting is not allowed, mounted() is false and the test skips.
class FullDisk {
public:
    explicit FullDisk(const char* size = "2m") {
        dir_ = tmp_.path() + QStringLiteral("/disk");
        QDir().mkpath(dir_);
        mounted_ = ::mount("tmpfs", QFile::encodeName(dir_).constData(), "tmpfs", 0,
                           (QByteArray("size=") + size).constData()) == 0;
    }
    ~FullDisk() {
        if (mounted_) ::umount2(QFile::encodeName(dir_).constData(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    QString path(const QString& name) const { return dir_ + u'/' + name; }
    // No byte left.
    void fill() {
        QFile filler(path(QStringLiteral("filler")));
        filler.open(QIODevice::Append | QIODevice::Unbuffered);
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        const QByteArray byte(1, 'f');
        while (filler.write(byte) == 1) {
        }
    }
    void free() { QFile::remove(path(QStringLiteral("filler"))); }

private:
    QTemporaryDir tmp_;
    QString dir_;
    bool mounted_ = false;
};

}  // namespace xq::test

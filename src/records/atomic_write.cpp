#include "records/atomic_write.h"

#include <QFileInfo>
#include <QSaveFile>

namespace xq {

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    const auto fail = [&] {
        if (error != nullptr) {
            *error =
                file.errorString().isEmpty() ? QStringLiteral("write failed") : file.errorString();
        }
        file.cancelWriting();  // the old file stays as it was
        return false;
    };
    // Unbuffered, so that a write the disk cannot take fails here. A buffered write may still be
    // in memory when commit() runs, and a full disk then loses it there while commit() still
    // reports success and the old file is replaced by an empty one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail();
    if (file.write(bytes) != bytes.size() || !file.flush() ||
        file.error() != QFileDevice::NoError) {
        return fail();
    }
    if (!file.commit()) {
        if (error != nullptr) *error = file.errorString();
        return false;
    }
    // Whatever the commit says, the file in place must be what was written.
    if (QFileInfo(path).size() != bytes.size()) {
        if (error != nullptr) *error = QStringLiteral("the file on disk is incomplete");
        return false;
    }
    return true;
}

}  // namespace xq

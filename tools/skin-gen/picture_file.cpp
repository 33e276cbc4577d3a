#include "picture_file.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

#include "skin_error.h"

namespace skingen {

namespace {

[[noreturn]] void fail(const QString& path, const QString& why) {
    throw SkinError(QStringLiteral("%1: %2").arg(path, why).toStdString());
}

}  // namespace

void writePicture(const QString& path, const QImage& image) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    QByteArray format;
    QImage out;
    int quality = -1;
    if (suffix == u"bmp") {
        // The skins are copied opaquely, some with AND/OR: no alpha, no palette.
        format = "BMP";
        out = image.convertToFormat(QImage::Format_RGB888);
    } else if (suffix == u"jpg") {
        format = "JPG";
        out = image.convertToFormat(QImage::Format_RGB888);
        quality = 92;
    } else if (suffix == u"ico" || suffix == u"png") {
        format = suffix.toLatin1();
        out = image.convertToFormat(QImage::Format_ARGB32);
    } else {
        fail(path, QStringLiteral("unknown picture format"));
    }

    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        fail(path, QStringLiteral("cannot create folder"));
    QImageWriter writer(path, format);
    writer.setQuality(quality);
    if (!writer.write(out)) fail(path, writer.errorString());

    QImageReader reader(path);
    const QImage back = reader.read();
    if (back.isNull()) fail(path, QStringLiteral("cannot be read back: ") + reader.errorString());
    if (back.size() != image.size()) fail(path, QStringLiteral("reads back with another size"));
}

}  // namespace skingen

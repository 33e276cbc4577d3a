#include "look/skin_picture.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <atomic>

#include "look/picture_data.h"

namespace xq {
namespace {

// No skin comes near this; anything larger is not read at all.
constexpr qint64 kMaxSkinBytes = 64 * 1024 * 1024;

// Qt's JPEG reader reports damaged data (corrupt or missing blocks) only as a warning of its
// logging category and hands back the picture anyway. These warnings are caught while a picture
// is decoded on this thread; every message still goes on to the handler in force before.
std::atomic<QtMessageHandler> previousHandler{nullptr};
thread_local bool* decoderComplained = nullptr;

void catchDecoderComplaints(QtMsgType type, const QMessageLogContext& context,
                            const QString& text) {
    if (decoderComplained != nullptr && type == QtWarningMsg && context.category != nullptr &&
        qstrcmp(context.category, "qt.gui.imageio.jpeg") == 0) {
        *decoderComplained = true;
    }
    if (const QtMessageHandler previous = previousHandler.load()) previous(type, context, text);
}

// Skins are read on the user-interface thread only, so installations never interleave.
QImage Decode(QImageReader& reader) {
    bool complained = false;
    decoderComplained = &complained;
    previousHandler = qInstallMessageHandler(&catchDecoderComplaints);
    QImage image = reader.read();
    qInstallMessageHandler(previousHandler.load());
    decoderComplained = nullptr;
    return complained ? QImage() : image;
}

}  // namespace

QImage readSkinPicture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSkinBytes) return {};
    QByteArray data = file.readAll();
    if (!bmpDataComplete(data) || !jpegDataComplete(data)) return {};
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return Decode(reader);
}

}  // namespace xq

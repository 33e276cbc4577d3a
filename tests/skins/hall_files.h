#pragma once

#include <QImage>
#include <QString>

// The run-time tree the build generated (XQ_HALL_DIR), read the way the client reads it.
inline QString hallPath(const QString& relative) {
    return QStringLiteral(XQ_TEST_HALL_DIR "/") + relative;
}

inline QImage hallImage(const QString& relative) {
    return QImage(hallPath(relative)).convertToFormat(QImage::Format_RGB32);
}

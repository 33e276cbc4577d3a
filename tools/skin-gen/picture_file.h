#pragma once

#include <QImage>
#include <QString>

namespace skingen {

// Writes a picture in the format its suffix names (.bmp 24-bit, .jpg, .ico, .png), creating
// folders as needed, and reads it back: a file the client cannot load is a build error.
void writePicture(const QString& path, const QImage& image);

}  // namespace skingen

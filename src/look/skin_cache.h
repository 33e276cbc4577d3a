#pragma once

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QString>

namespace xq {

// Skin pictures as the program draws them: looked up case-insensitively below a folder, missing
// files give nothing, and a file changed on disk is read again, so drawing behaves as if every
// picture were loaded when drawn. Within one drawing pass each file is checked on disk once.
class SkinCache {
public:
    // The folder the literals are relative to (ends in a separator).
    void setBase(const QString& base);
    const QString& base() const { return base_; }

    // Starts a drawing pass: files are checked on disk again from now on.
    void beginPass() { checked_.clear(); }

    // The picture of a literal such as "Res\number.bmp"; null when the file is missing,
    // unreadable, short or damaged, so that its element is left undrawn.
    const QImage* image(const QString& literal);

private:
    struct Entry {
        QString path;
        QDateTime modified;
        qint64 size = -1;
        QImage image;
    };

    QString base_;
    QHash<QString, Entry> entries_;
    QSet<QString> checked_;
};

}  // namespace xq

#include "look/skin_cache.h"

#include <QFileInfo>

#include "look/skin_picture.h"
#include "startup/skin_path.h"

namespace xq {

void SkinCache::setBase(const QString& base) {
    if (base == base_) return;
    base_ = base;
    entries_.clear();
    checked_.clear();
}

const QImage* SkinCache::image(const QString& literal) {
    auto it = entries_.find(literal);
    if (it != entries_.end() && checked_.contains(literal)) {
        return it->image.isNull() ? nullptr : &it->image;
    }
    checked_.insert(literal);
    const QString path = skinPath(base_, literal);
    const QFileInfo info(path);
    if (!info.isFile()) {
        entries_.remove(literal);
        return nullptr;
    }
    if (it != entries_.end() && it->path == path && it->modified == info.lastModified() &&
        it->size == info.size()) {
        return it->image.isNull() ? nullptr : &it->image;
    }
    Entry entry{path, info.lastModified(), info.size(), readSkinPicture(path)};
    // Bitmaps are copied opaquely; icons keep their transparency.
    if (!entry.image.isNull()) {
        entry.image = entry.image.convertToFormat(entry.image.hasAlphaChannel()
                                                      ? QImage::Format_ARGB32_Premultiplied
                                                      : QImage::Format_RGB32);
    }
    it = entries_.insert(literal, entry);
    return it->image.isNull() ? nullptr : &it->image;
}

}  // namespace xq

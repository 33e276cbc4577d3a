#include "look/builtin_pictures.h"

#include <QString>

// Resources of a static library are not registered by themselves.
static void RegisterBuiltinPictures() {
    Q_INIT_RESOURCE(builtin);
}

namespace xq {

QImage BuiltinPicture(const char* name) {
    static const bool registered = [] {
        RegisterBuiltinPictures();
        return true;
    }();
    (void)registered;
    return QImage(QStringLiteral(":/builtin/") + QLatin1String(name));
}

}  // namespace xq

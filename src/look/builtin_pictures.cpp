#include "look/builtin_pictures.h"

#include <QString>

// Resources of a static library are not registered by themselves.
static void registerBuiltinPictures() {
    Q_INIT_RESOURCE(builtin);
}

namespace xq {

QImage builtinPicture(const char* name) {
    static const bool registered = [] {
        registerBuiltinPictures();
        return true;
    }();
    (void)registered;
    return QImage(QStringLiteral(":/builtin/") + QLatin1String(name));
}

}  // namespace xq

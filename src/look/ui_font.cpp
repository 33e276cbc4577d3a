#include "look/ui_font.h"

#include <QFontDatabase>
#include <QPixmap>

#include "look/builtin_pictures.h"

namespace xq {

QFont paneFont() {
    static const QFont font = [] {
        QFont f;
        const QStringList families = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        for (const QString& wanted : {QStringLiteral("宋体"), QStringLiteral("SimSun"),
                                      QStringLiteral("WenQuanYi Zen Hei")}) {
            if (families.contains(wanted)) {
                f.setFamily(wanted);
                break;
            }
        }
        if (f.family().isEmpty() && !families.isEmpty()) f.setFamily(families.first());
        f.setPointSize(9);
        f.setBold(false);
        f.setItalic(false);
        f.setStrikeOut(false);
        return f;
    }();
    return font;
}

QCursor boardCursor() {
    static const QCursor cursor = [] {
        const QPixmap picture = QPixmap::fromImage(builtinPicture("cursor.png"));
        return picture.isNull() ? QCursor(Qt::PointingHandCursor)
                                : QCursor(picture, picture.width() / 2, picture.height() / 2);
    }();
    return cursor;
}

}  // namespace xq

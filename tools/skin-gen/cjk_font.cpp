#include "cjk_font.h"

#include <QFontDatabase>

#include "skin_error.h"

namespace skingen {

namespace {

const QString kInstallHint = QStringLiteral("install fonts-wqy-zenhei");

// The piece characters; a family that has these has a real CJK set.
const QString kProbe = QStringLiteral("车马炮将士象卒帅仕相兵");

QRawFont rawFont(const QString& family) {
    QFont font(family);
    font.setPixelSize(32);
    return QRawFont::fromFont(font);
}

QString missingGlyphs(const QRawFont& raw, const QString& text) {
    QString missing;
    for (const QChar ch : text) {
        if (ch.isSpace()) continue;
        if ((!raw.isValid() || !raw.supportsCharacter(ch)) && !missing.contains(ch)) missing += ch;
    }
    return missing;
}

[[noreturn]] void fail(const QString& message) {
    throw SkinError(
        QStringLiteral("no CJK font found%1 (%2)").arg(message, kInstallHint).toStdString());
}

}  // namespace

CjkFont CjkFont::find(const QString& wantedFamily) {
    if (!wantedFamily.isEmpty()) {
        if (!QFontDatabase::hasFamily(wantedFamily))
            fail(QStringLiteral(": font family \"%1\" is not installed").arg(wantedFamily));
        QRawFont raw = rawFont(wantedFamily);
        const QString missing = missingGlyphs(raw, kProbe);
        if (!missing.isEmpty())
            fail(QStringLiteral(": \"%1\" has no glyph for %2").arg(wantedFamily, missing));
        return CjkFont(wantedFamily, raw);
    }
    QStringList candidates{QStringLiteral("WenQuanYi Zen Hei")};
    candidates += QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    for (const QString& family : candidates) {
        if (!QFontDatabase::hasFamily(family)) continue;
        QRawFont raw = rawFont(family);
        if (missingGlyphs(raw, kProbe).isEmpty()) return CjkFont(family, raw);
    }
    fail({});
}

QFont CjkFont::font(int pixelSize, bool bold) const {
    QFont font(family_);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

const QString& CjkFont::checked(const QString& text) const {
    const QString missing = missingGlyphs(raw_, text);
    if (!missing.isEmpty())
        throw SkinError(QStringLiteral("font \"%1\" has no glyph for %2 (%3)")
                            .arg(family_, missing, kInstallHint)
                            .toStdString());
    return text;
}

}  // namespace skingen

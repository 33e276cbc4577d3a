#pragma once

#include <QFont>
#include <QRawFont>
#include <QString>

namespace skingen {

// The one font every Chinese character of the skins is drawn with. Text must go through
// checked() so that a font without the glyphs can never produce empty boxes silently.
class CjkFont {
public:
    // Picks the named family, or the first installed family that covers the characters we
    // draw. Throws SkinError with the install hint when there is none.
    static CjkFont find(const QString& wantedFamily = {});

    const QString& family() const { return family_; }
    QFont font(int pixelSize, bool bold = false) const;
    // Returns text unchanged after making sure the font has a glyph for every character of it.
    const QString& checked(const QString& text) const;

private:
    CjkFont(QString family, QRawFont raw) : family_(std::move(family)), raw_(std::move(raw)) {}
    QString family_;
    QRawFont raw_;
};

}  // namespace skingen

#include "server/store/name_key.h"

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/uspoof.h>
#include <unicode/ustring.h>

#include <QList>
#include <memory>

#include "net/cp936.h"

namespace xq::server {
namespace {

struct SpoofCloser {
    void operator()(USpoofChecker* checker) const { uspoof_close(checker); }
};

// Made once; ICU lets any number of threads ask one checker for skeletons.
const USpoofChecker* spoofChecker() {
    static const std::unique_ptr<USpoofChecker, SpoofCloser> checker = [] {
        UErrorCode status = U_ZERO_ERROR;
        USpoofChecker* made = uspoof_open(&status);
        if (U_FAILURE(status)) {
            uspoof_close(made);
            made = nullptr;
        }
        return std::unique_ptr<USpoofChecker, SpoofCloser>(made);
    }();
    return checker.get();
}

const UChar* units(const QString& text) {
    return reinterpret_cast<const UChar*>(text.utf16());
}

// Runs one ICU string function that writes into a buffer: asked again with the size it wants
// when the first guess is too small. Nothing when ICU fails.
template <typename Write>
std::optional<QString> icuText(const QString& from, Write write) {
    QString out(from.size() * 2 + 8, Qt::Uninitialized);
    for (int attempt = 0; attempt < 2; ++attempt) {
        UErrorCode status = U_ZERO_ERROR;
        const int32_t length =
            write(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR && length > 0) {
            out.resize(length);
            continue;
        }
        if (U_FAILURE(status) || length < 0 || length > out.size()) return std::nullopt;
        out.resize(length);
        return out;
    }
    return std::nullopt;
}

std::optional<QString> nfkc(const QString& text) {
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* normalizer = unorm2_getNFKCInstance(&status);
    if (U_FAILURE(status) || !normalizer) return std::nullopt;
    const auto length = static_cast<int32_t>(text.size());
    return icuText(text, [&](UChar* out, int32_t capacity, UErrorCode* s) {
        return unorm2_normalize(normalizer, units(text), length, out, capacity, s);
    });
}

std::optional<QString> skeleton(const USpoofChecker* checker, const QString& text) {
    const auto length = static_cast<int32_t>(text.size());
    return icuText(text, [&](UChar* out, int32_t capacity, UErrorCode* s) {
        return uspoof_getSkeleton(checker, 0, units(text), length, out, capacity, s);
    });
}

std::optional<QString> caseFolded(const QString& text) {
    const auto length = static_cast<int32_t>(text.size());
    return icuText(text, [&](UChar* out, int32_t capacity, UErrorCode* s) {
        return u_strFoldCase(out, capacity, units(text), length, U_FOLD_CASE_DEFAULT, s);
    });
}

// Zero-width joiners, bidi controls and the like: nothing to see, so nothing to compare.
QString withoutInvisibles(const QString& text) {
    QList<uint> kept = text.toUcs4();
    kept.removeIf([](uint c) {
        return u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_DEFAULT_IGNORABLE_CODE_POINT);
    });
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(kept.constData()), kept.size());
}

QString codePoint(char32_t c) {
    return QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QChar(u'0')).toUpper();
}

}  // namespace

// ICU for every step, so that a key depends on one Unicode version. The skeleton keeps case
// ("I" and "l" look alike, "I" and "i" do not), so it is folded afterwards: a reader takes "Abc"
// and "abc" for one name. Folding can make a letter that has a look-alike of its own (a capital
// whose small form resembles another letter), so skeleton and fold repeat until the key holds.
std::optional<QString> nameKey(const QString& name) {
    const USpoofChecker* checker = spoofChecker();
    if (!checker) return std::nullopt;
    auto key = nfkc(name);
    if (key) key = withoutInvisibles(*key);
    for (int round = 0; key && round < 4; ++round) {
        const auto skeletal = skeleton(checker, *key);
        const auto next = skeletal ? caseFolded(*skeletal) : std::nullopt;
        if (!next || *next == *key) return next;
        key = next;
    }
    return key;
}

QString newNameProblem(const QString& name) {
    if (name.isEmpty()) return QStringLiteral("a player needs a name");
    const QList<uint> chars = name.toUcs4();
    if (chars.size() > kMaxNameLength) {
        return QStringLiteral("a name has at most %1 characters").arg(kMaxNameLength);
    }
    for (const uint c : chars) {
        // Blanks and invisible characters let two names that read the same differ.
        switch (u_charType(static_cast<UChar32>(c))) {
            case U_SPACE_SEPARATOR:
            case U_LINE_SEPARATOR:
            case U_PARAGRAPH_SEPARATOR:
                return QStringLiteral("a name cannot contain a blank (%1)").arg(codePoint(c));
            case U_CONTROL_CHAR:
            case U_FORMAT_CHAR:
                return QStringLiteral("a name cannot contain the invisible character %1")
                    .arg(codePoint(c));
            default:
                break;
        }
        // The room's messages separate their fields with it.
        if (c == u'`') return QStringLiteral("a name cannot contain `");
    }
    if (!canEncodeCp936(name)) {
        return QStringLiteral("a name can only hold characters of code page 936 (GBK)");
    }
    return {};
}

}  // namespace xq::server

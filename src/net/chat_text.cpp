#include "net/chat_text.h"

#include <algorithm>

namespace xq {

bool breaksLine(QChar c) {
    switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return true;
        default:
            return false;
    }
}

bool hasLineBreaks(QStringView text) {
    return std::any_of(text.begin(), text.end(), breaksLine);
}

QString blankLineBreaks(QString text) {
    for (QChar& c : text) {
        if (breaksLine(c)) c = u' ';
    }
    return text;
}

bool isChatTime(QStringView text) {
    if (text.size() != 8 || text[2] != u':' || text[5] != u':') return false;
    const auto part = [text](int at, int limit) {
        const QChar hi = text[at], lo = text[at + 1];
        if (hi < u'0' || hi > u'9' || lo < u'0' || lo > u'9') return false;
        return (hi.unicode() - u'0') * 10 + (lo.unicode() - u'0') < limit;
    };
    return part(0, 24) && part(3, 60) && part(6, 60);
}

}  // namespace xq

#include "server/chat_line.h"

#include "net/chat_text.h"
#include "net/cp936.h"

namespace xq::server {

ChatLine checkChatLine(const QStringList& fields, const QString& sender) {
    ChatLine line;
    line.fields = fields;
    QStringList& f = line.fields;
    const auto refuse = [&line](const char* why) {
        line.refusal = why;
        return line;
    };
    if (f.size() != 10) return refuse("chat needs ten fields");
    // Clients show the speaker from field 2; both must be the name this connection logged in
    // with.
    if (f[0] != sender || f[2] != sender) return refuse("chat in another's name");
    // Clients show field 3 and the server delivers by field 1: a private line must go to the
    // person it shows.
    if (f[1] != f[3]) return refuse("chat addressee fields differ");
    // Clients print the time in front of the speaker; anything but a time there could name
    // another speaker.
    if (!isChatTime(f[4])) return refuse("chat time is not hh:mm:ss");
    for (qsizetype i = 0; i < f.size(); ++i) {
        if (i != 5 && hasLineBreaks(f[i])) return refuse("control character in a chat field");
    }
    // A line break in what was said would start a line of its own in every pane; a blank keeps
    // the words.
    if (hasLineBreaks(f[5])) {
        f[5] = blankLineBreaks(f[5]);
        line.textChanged = true;
    }
    return line;
}

QByteArray blankTextLineBreaks(const QByteArray& message) {
    constexpr int kTextField = 5;
    QByteArray out = message;
    int field = 0;
    // The body follows the code byte; it is walked as the reader pairs its bytes, so that a
    // separator or a control byte that is the second half of a pair is left where it is.
    for (qsizetype at = 1;;) {
        const qsizetype n = cp936CharLength(out, at);
        if (n == 0) break;
        if (n == 1 && out[at] == '`') {
            if (++field > kTextField) break;
        } else if (field == kTextField) {
            QString c;
            if (decodeCp936(QByteArrayView(out).sliced(at, n), c) && c.size() == 1 &&
                breaksLine(c[0])) {
                out.replace(at, n, " ");
                at += 1;
                continue;
            }
        }
        at += n;
    }
    return out;
}

}  // namespace xq::server

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace xq::server {

// A chat line as the table relays it: the ten fields a client sent, judged against the name its
// connection logged in with.
struct ChatLine {
    // Why the line is dropped, or nullptr when it is relayed.
    const char* refusal = nullptr;
    // The fields to relay: line breaks in the text are blanks.
    QStringList fields;
    // True when the text had to change, so the line cannot go on as it came.
    bool textChanged = false;
};

// Fields: 0 sender, 1 addressee, 2 sender as shown, 3 addressee as shown, 4 time "hh:mm:ss",
// 5 text, 6 colour, 7 face, 8 private flag, 9 spare.
ChatLine checkChatLine(const QStringList& fields, const QString& sender);

// The chat message as it came but for its text, where every character that breaks a line is one
// blank byte. Built from the bytes, not from the decoded fields: not every pair of bytes reads
// back as itself once decoded and encoded again, and the rest must reach the clients unchanged.
QByteArray blankTextLineBreaks(const QByteArray& message);

}  // namespace xq::server

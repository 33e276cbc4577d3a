#pragma once

#include <QString>

namespace xq::server {

// A failed step of the store: says why where the caller asked, and answers false.
inline bool fail(QString* error, const QString& why) {
    if (error) *error = why;
    return false;
}

// PostgreSQL cannot hold a NUL in text; refused on both back ends so that they behave alike.
inline bool hasNul(const QString& text) {
    return text.contains(QChar(u'\0'));
}

}  // namespace xq::server

#pragma once

#include <QByteArray>
#include <QString>
#include <initializer_list>

#include "net/cp936.h"

namespace xq::test {

// A message of exactly these bytes.
inline QByteArray Bytes(std::initializer_list<int> bytes) {
    QByteArray m;
    for (int b : bytes)
        m.append(static_cast<char>(b));
    return m;
}

// Header bytes followed by a text in code page 936.
inline QByteArray Text(std::initializer_list<int> head, const QString& text) {
    return Bytes(head) + encodeCp936(text);
}

}  // namespace xq::test

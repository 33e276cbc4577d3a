#pragma once

#include <QByteArray>
#include <QString>
#include <initializer_list>
#include <vector>

#include "net/cp936.h"

namespace xq::fuzz {

// Seed inputs of a target: realistic messages and files to mutate from.
std::vector<QByteArray> Seeds();

inline QByteArray Msg(std::initializer_list<int> head, const QString& text = {}) {
    QByteArray m;
    for (int b : head)
        m.append(static_cast<char>(b));
    return m + EncodeCp936(text);
}

// One record of a length-prefixed sequence, with an optional leading byte.
inline QByteArray Record(const QByteArray& message, int lead = -1) {
    QByteArray r;
    if (lead >= 0) r.append(static_cast<char>(lead));
    r.append(static_cast<char>(qMin<qsizetype>(message.size(), 255)));
    r.append(message.left(255));
    return r;
}

}  // namespace xq::fuzz

#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
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
    return m + encodeCp936(text);
}

// One record of a length-prefixed sequence, with an optional leading byte.
inline QByteArray Record(const QByteArray& message, int lead = -1) {
    QByteArray r;
    if (lead >= 0) r.append(static_cast<char>(lead));
    r.append(static_cast<char>(qMin<qsizetype>(message.size(), 255)));
    r.append(message.left(255));
    return r;
}

// Takes a fuzz input apart into the records Record() makes: a leading byte when the target uses
// one, a length byte, then that many bytes (fewer where the input ends).
class Records {
public:
    Records(const std::uint8_t* data, std::size_t size, bool withLead)
        : data_(data), size_(size), withLead_(withLead) {}

    struct Item {
        std::uint8_t lead = 0;
        std::size_t length = 0;  // as the length byte says
        QByteArray bytes;        // as many of them as the input holds
    };

    bool next(Item& item) {
        const std::size_t head = withLead_ ? 2 : 1;
        if (size_ - i_ < head) return false;
        item.lead = withLead_ ? data_[i_] : 0;
        item.length = data_[i_ + head - 1];
        i_ += head;
        const std::size_t take = item.length < size_ - i_ ? item.length : size_ - i_;
        item.bytes =
            QByteArray(reinterpret_cast<const char*>(data_ + i_), static_cast<qsizetype>(take));
        i_ += take;
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    bool withLead_;
    std::size_t i_ = 0;
};

}  // namespace xq::fuzz

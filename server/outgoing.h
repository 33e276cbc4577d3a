#pragma once

#include <QString>
#include <initializer_list>

#include "net/codec.h"

namespace xq::server::out {

// What the server sends is built by the table events codec; these two are left for the bot's
// requests until they have a codec of their own.

// Header bytes, then text in code page 936 (nothing after the header for an empty text).
Cmd withText(std::initializer_list<std::uint8_t> head, const QString& text);
Cmd bytes(std::initializer_list<std::uint8_t> b);

}  // namespace xq::server::out

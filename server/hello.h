#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace xq::server {

inline constexpr int kMaxNameLength = 32;

// The user name of a hello frame ("XQTABLE/1`" and the name in code page 936): 1 to 32
// characters, no "`", no control characters, no blanks at either end. Nothing for any other
// frame.
std::optional<QString> parseHello(const QByteArray& frame);

// The login frame [130, 0] "500`DRAK`d" with d "0" or "1": whether spectators may watch.
std::optional<bool> parseLogin(const QByteArray& frame);

}  // namespace xq::server

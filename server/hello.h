#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

#include "net/wire_limits.h"

namespace xq::server {

// What the first frame of a connection says: who it is, and the secret that proves it to the
// server once the name has been seen with one. An empty ticket: none given.
struct Hello {
    QString name;
    QString ticket;
};

// A name a user may have: 1 to 32 characters, no "`", no control characters, no blanks at either
// end.
bool isValidName(const QString& name);

// The hello: "XQTABLE/1`" and the name in code page 936, optionally "`" and a ticket of 1 to 64
// printable ASCII characters; a missing, empty or "-" ticket is none. Nothing for any other
// frame.
std::optional<Hello> parseHello(const QByteArray& frame);

// The hall's hello: "XQHALL/1`" and the rest as in the table's.
std::optional<Hello> parseHallHello(const QByteArray& frame);

// An account's hall hello: "XQHALL/2`" (logging in) or "XQHALL/2+`" (registering), the name,
// "`" and the password, in code page 936. Only the shape is checked here (the name and the
// password are told apart by the first "`"); what is wrong with either is the account desk's to
// tell the user.
struct AccountHello {
    QString name;
    QString password;
    bool registering = false;
};
std::optional<AccountHello> parseAccountHello(const QByteArray& frame);

// The login frame [130, 0] "500`DRAK`d" with d "0" or "1": whether spectators may watch.
std::optional<bool> parseLogin(const QByteArray& frame);

}  // namespace xq::server

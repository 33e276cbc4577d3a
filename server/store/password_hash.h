#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace xq::server {

// Longest password the room takes, in UTF-8 bytes: enough for any pass phrase, short enough that
// hashing one costs what the hash's own limits say.
inline constexpr int kMaxPasswordBytes = 128;

// Why a password cannot be an account's; empty when it can.
QString passwordProblem(const QString& password);

// An Argon2id hash of the password in libsodium's self-describing text form (salt and limits
// inside), at least the interactive limits. Nothing when libsodium cannot start or runs out of
// memory.
std::optional<QByteArray> hashPassword(const QString& password);

// True when the password is the one the stored hash was made from. An empty or damaged hash
// matches nothing.
bool passwordMatches(const QByteArray& hash, const QString& password);

}  // namespace xq::server

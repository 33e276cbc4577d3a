#pragma once

#include <QString>
#include <optional>

namespace xq::server {

// Longest name a new player may take, in characters (code points).
inline constexpr int kMaxNameLength = 32;

// What a name is compared by: two names with one key look alike to a reader (letters of another
// script that look the same, full-width forms, case) and are one player's. Nothing when the
// Unicode library fails.
std::optional<QString> nameKey(const QString& name);

// Why a name cannot be taken by a new player, in a few English words for the log; empty when it
// can. Names stored before are looked up whatever this says.
QString newNameProblem(const QString& name);

}  // namespace xq::server

#pragma once

#include <QString>
#include <cstdio>
#include <functional>

namespace xq::server {

class PlayerStore;

// The administrator's account commands: the password is the first line of `in` (so that it
// stands on no command line). Returns the exit code: 0 done, 1 refused or failed, with the
// reason told through `tell`; the password itself is never told.
enum class AccountCommand { Add, ResetPassword };
int runAccountCommand(PlayerStore& store, AccountCommand command, const QString& name, int face,
                      std::FILE* in, const std::function<void(const QString&)>& tell);

}  // namespace xq::server

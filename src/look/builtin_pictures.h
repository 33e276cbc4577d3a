#pragma once

#include <QImage>

namespace xq {

// A picture compiled into the program (":/builtin/<name>"); null when it is not there.
QImage builtinPicture(const char* name);

}  // namespace xq

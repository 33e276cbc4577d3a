#include "startup/handover.h"

#include <QtGlobal>

namespace xq {
namespace {

QString take(const char* variable) {
    const QString value = qEnvironmentVariable(variable);
    qunsetenv(variable);
    return value;
}

}  // namespace

Handover takeHandover() {
    return Handover{take(kTicketVariable), take(kTlsVariable)};
}

}  // namespace xq

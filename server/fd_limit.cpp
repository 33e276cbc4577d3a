#include "server/fd_limit.h"

#if defined(__unix__) || defined(__APPLE__)
#include <sys/resource.h>
#endif

namespace xq::server {

long raiseFileLimit() {
#if defined(__unix__) || defined(__APPLE__)
    rlimit lim{};
    if (getrlimit(RLIMIT_NOFILE, &lim) != 0) return -1;
    if (lim.rlim_cur < lim.rlim_max) {
        rlimit raised = lim;
        raised.rlim_cur = lim.rlim_max;
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0) lim = raised;
    }
    return lim.rlim_cur == RLIM_INFINITY ? -1 : static_cast<long>(lim.rlim_cur);
#else
    return -1;
#endif
}

}  // namespace xq::server

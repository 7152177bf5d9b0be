#include "platform/ThreadPriority.h"

#include <algorithm>

#ifdef __linux__
#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace platform {

#ifdef __linux__

bool LowerThreadPriority(int niceness) {
    // On Linux a nice value belongs to a thread: naming the thread's own id
    // leaves the rest of the process as it is.
    const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
    errno = 0;
    const int now = ::getpriority(PRIO_PROCESS, tid);
    if (now == -1 && errno != 0)
        return false;
    const int wanted = std::clamp(niceness, 1, 19);
    return now >= wanted || ::setpriority(PRIO_PROCESS, tid, wanted) == 0;
}

#else

bool LowerThreadPriority(int) {
    return false; // elsewhere a nice value is the whole process's
}

#endif

} // namespace platform

#include "platform/Sandbox.h"

#ifdef __linux__
#include <cerrno>
#include <seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace platform {

bool AddressSpaceLimitApplies() {
#if defined(__SANITIZE_ADDRESS__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return false;
#else
    return true;
#endif
#else
    return true;
#endif
}

#ifdef __linux__

namespace {

// Refused with EPERM rather than by killing the process, so that a decoder
// library that merely probes (for a locale file, say) fails cleanly.
constexpr const char* kForbidden[] = {
    // opening and creating files
    "open", "openat", "openat2", "creat", "open_by_handle_at", "name_to_handle_at", "mknod",
    "mknodat", "io_uring_setup", "memfd_secret",
    // changing the file system
    "link", "linkat", "symlink", "symlinkat", "unlink", "unlinkat", "rename", "renameat",
    "renameat2", "mkdir", "mkdirat", "rmdir", "truncate", "chmod", "fchmodat", "chown", "lchown",
    "fchownat", "mount", "umount2", "pivot_root", "chroot",
    // sockets
    "socket", "socketpair", "connect", "bind", "listen", "accept", "accept4",
    // programs and processes (threads too: the decoders need none)
    "execve", "execveat", "fork", "vfork", "clone", "clone3", "ptrace", "process_vm_readv",
    "process_vm_writev", "unshare", "setns", "userfaultfd", "bpf", "perf_event_open", "keyctl",
    "add_key", "request_key"};

bool loadFilter() {
    scmp_filter_ctx ctx = seccomp_init(SCMP_ACT_ALLOW);
    if (!ctx)
        return false;
    bool ok = true;
    for (const char* name : kForbidden) {
        const int nr = seccomp_syscall_resolve_name(name);
        if (nr != __NR_SCMP_ERROR)
            ok = ok && seccomp_rule_add(ctx, SCMP_ACT_ERRNO(EPERM), nr, 0) == 0;
    }
    // Signals to itself only (abort() raises SIGABRT with tgkill).
    const auto self = static_cast<scmp_datum_t>(::getpid());
    ok = ok && seccomp_rule_add(ctx, SCMP_ACT_ERRNO(EPERM), SCMP_SYS(kill), 1,
                                SCMP_A0(SCMP_CMP_NE, self)) == 0;
    ok = ok && seccomp_rule_add(ctx, SCMP_ACT_ERRNO(EPERM), SCMP_SYS(tgkill), 1,
                                SCMP_A0(SCMP_CMP_NE, self)) == 0;
    ok = ok && seccomp_rule_add(ctx, SCMP_ACT_ERRNO(EPERM), SCMP_SYS(tkill), 0) == 0;
    ok = ok && seccomp_load(ctx) == 0;
    seccomp_release(ctx);
    return ok;
}

} // namespace

bool ConfineProcess(const SandboxLimits& limits) {
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return false;
    const rlimit noCore{0, 0};
    if (::setrlimit(RLIMIT_CORE, &noCore) != 0)
        return false;
    if (limits.addressSpace != 0 && AddressSpaceLimitApplies()) {
        const rlimit as{limits.addressSpace, limits.addressSpace};
        if (::setrlimit(RLIMIT_AS, &as) != 0)
            return false;
    }
    return loadFilter();
}

#else

bool ConfineProcess(const SandboxLimits&) {
    return false; // no confinement known here: never decode unconfined
}

#endif

} // namespace platform

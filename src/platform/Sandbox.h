#pragma once

// Confines the calling process for the rest of its life: no new privileges,
// a bounded address space, no core files, and a system-call filter under
// which it cannot open or create files, reach a socket, start a program or
// another process, or signal any process but itself. What it already holds
// (open descriptors, mapped libraries) stays usable. Meant for a process that
// only turns bytes it is handed into pixels.

#include <cstdint>

namespace platform {

struct SandboxLimits {
    /// Address-space limit in bytes; 0 leaves it as it is.
    std::uint64_t addressSpace = 0;
};

/// Applies every confinement; returns false (with the process possibly
/// partly confined) when any step fails, so that the caller stops rather
/// than run unconfined.
bool ConfineProcess(const SandboxLimits& limits);

/// Whether the address-space limit is applied in this build. A build with
/// AddressSanitizer reserves terabytes of shadow memory at start, so there
/// the limit would stop every later allocation; it is then left out.
bool AddressSpaceLimitApplies();

} // namespace platform

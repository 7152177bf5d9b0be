#pragma once

// Background work runs below the window's thread. The scheduler shares a busy
// core evenly between threads of equal priority, so with every core decoding
// thumbnails the window's thread can wait tens of milliseconds for its turn;
// a lower priority for the background hands the core to the window first.
// An unprivileged thread cannot raise its priority again, so only threads and
// processes that do nothing but background work are lowered.

namespace platform {

/// Where background work runs on the nice scale: low enough that the window's
/// thread wins a busy core at once, not so low that the decoders starve
/// behind the window's own pool threads.
inline constexpr int kBackgroundNiceness = 5;

/// Lowers the calling thread, and no other thread of the process, to
/// `niceness` on the system's nice scale (1 to 19); a thread already that low
/// or lower stays as it is, so calling it again costs nothing. Returns false
/// where that is not possible; the work then goes on at its present priority.
bool LowerThreadPriority(int niceness);

} // namespace platform

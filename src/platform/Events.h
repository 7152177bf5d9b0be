#pragma once

#include <functional>

namespace platform {

/// Processes the pending events once and returns (the old "DoEvents").
/// Re-enters the event loop: callers must expect their own handlers to run.
void DoEvents();

/// Blocks until at least one event arrives, then processes the pending events.
/// For wait loops (`while (!ready) WaitForEvents();`) that must not spin; the
/// loop must be ended by an event (a timer, a signal), or it waits forever.
void WaitForEvents();

/// Runs `work` on a thread of its own and returns when it is done; meanwhile
/// the calling thread's events run (paints, timers, posted calls) except user
/// input, which waits until the end. `work` must not touch widgets.
void RunAside(const std::function<void()>& work);

} // namespace platform

#pragma once

namespace platform {

/// Shows the hourglass for the guard's lifetime: the override cursor is set in
/// the constructor and restored in the destructor, so every path out of a busy
/// operation (early return, exception) puts the normal pointer back. Guards
/// nest. Does nothing when no GUI application exists.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool active_ = false;
};

} // namespace platform

#pragma once

#include <functional>
#include <memory>
#include <string>

class fMain;
class fSplash;

/// Appends the native separator to `path` when it does not end with one (an empty
/// path becomes a lone separator) and returns `path` itself.
std::string& AddBackslash(std::string& path);

/// The outside services the start-up sequence calls, replaceable so that tests can
/// observe the order and run it with a splash that is ready at once. Each member
/// defaults to the real service.
struct StartupServices {
    std::function<void()> loadSetup;
    std::function<void()> doEvents;
    std::function<void()> waitForEvents;
    /// Creates the splash (not yet shown). The sequence owns it until it unloads it.
    std::function<std::unique_ptr<fSplash>()> makeSplash;
    std::function<void(std::string&)> showFolderTree;

    StartupServices();
};

/// Brings the program up: settings, hidden main window, splash, sized and shown
/// main window, splash gone, folder tree at the stored folder. Returns the main
/// window (the caller owns it) without running the event loop.
std::unique_ptr<fMain> StartUp(const StartupServices& services = StartupServices());

/// The program's entry: StartUp, then the event loop until the confirmed exit
/// ends it. Returns the event loop's exit code. Needs a QApplication.
int Main();

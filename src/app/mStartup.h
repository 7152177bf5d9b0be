#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>

class fMain;
class fSplash;

namespace imaging {
class PictureDecoder;
}

namespace settings {
struct SetupRecord;
}

/// Appends the native separator to `path` when it does not end with one (an empty
/// path becomes a lone separator) and returns `path` itself.
std::string& AddBackslash(std::string& path);

/// The folder the tree starts at: the stored LastPath (spaces trimmed, text
/// before the first NUL) when "start with last browsed image path" is chosen and
/// a folder is stored, else the default folder (the user's home folder).
std::string StartFolder(const settings::SetupRecord& setup);

/// The list's view at start-up: large icons (ListView::LargeIcon) when "start in
/// thumbnail view" is chosen, else report view (ListView::Report).
int StartView(const settings::SetupRecord& setup);

/// The decoder of still pictures that the program runs with.
std::unique_ptr<imaging::PictureDecoder> MakePictureDecoder();

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
    /// Makes the decoder the main window is given.
    std::function<std::unique_ptr<imaging::PictureDecoder>()> makeDecoder;

    StartupServices();
};

/// Brings the program up: settings, hidden main window, splash, sized and shown
/// main window, splash gone, folder tree at the stored folder - or at `folder`
/// when it is not empty (the command line's folder, for this run only), and
/// then the file `file` of that folder selected and shown, when one is named.
/// Returns the main window (the caller owns it) without running the event loop.
std::unique_ptr<fMain> StartUp(const StartupServices& services = StartupServices(),
                               const std::string& folder = {}, const QString& file = {});

/// The program's entry: StartUp (with `folder` and `file` as there), then the event loop
/// until the confirmed exit ends it. Returns the event loop's exit code. Needs a
/// QApplication.
int Main(const std::string& folder = {}, const QString& file = {});

// fMain's commands: the toolbar, the About and Visit buttons and the confirmed
// exit that saves the settings and ends the program.

#include "app/fMain.h"
#include "app/mDirTreeview.h"
#include "controls/Splitter.h"
#include "platform/MessageBox.h"
#include "platform/Util.h"
#include "settings/mSetup.h"
#include "windows/fAbout.h"
#include "windows/fHelp.h"
#include "windows/fOptions.h"

#include <QCloseEvent>
#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

// The stored sizes are 16-bit; a window wider than 2184 pixels would not fit, so
// the value is held at the largest that does instead of wrapping around.
std::int16_t ToInt16(int value) {
    return static_cast<std::int16_t>(std::clamp<int>(
        value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

/// Shows the open window of a kind, or a new one made by `make`, in front.
template <typename Window, typename Make>
void ShowOne(QPointer<Window>& window, Make make) {
    if (!window)
        window = make();
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

void fMain::Exit() {
    close(); // the close event asks for confirmation
}

void fMain::cmdVisit_Click() {
    platform::ShellOpen(QStringLiteral("https://vistrel.example/"));
}

void fMain::cmdAbout_Click() {
    ShowOne(About_, [this] { return new fAbout(this); });
}

void fMain::ShowOptions() {
    ShowOne(Options_, [this] { return new fOptions(this, hSplit_); });
}

void fMain::ShowHelp() {
    ShowOne(Help_, [this] { return new fHelp(this); });
}

bool fMain::ConfirmExit() {
    return platform::MsgBox(QStringLiteral("Are you sure you want to quit?"),
                            platform::MsgButtons::YesNo, platform::MsgIcon::Question,
                            QStringLiteral("Confirm Exit"), this) == platform::MsgResult::Yes;
}

void fMain::StoreWindowSettings() {
    settings::SetupRecord& setup = settings::Setup;
    const QSize outer = OuterSizeTwips();
    setup.WindowWidth = ToInt16(outer.width());
    setup.WindowHeight = ToInt16(outer.height());
    setup.PaneSplitPercent = hSplit_->SplitPercent();
    setup.MainSplitPercent = vSplit_->SplitPercent();
    if (!isMinimized()) {
        setup.WindowState = isMaximized() ? settings::WindowMaximized : settings::WindowNormal;
    }
}

void fMain::closeEvent(QCloseEvent* event) {
    if (exiting_) {
        event->accept();
        return;
    }
    event->ignore();
    if (!ConfirmExit()) {
        return;
    }
    DestroyPreviewGif();
    DetachTree();
    StoreWindowSettings();
    settings::SaveSetup();
    exiting_ = true;
    event->accept();
    if (quit_) {
        quit_();
    }
}

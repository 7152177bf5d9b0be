#include "app/mStartup.h"

#include "app/fMain.h"
#include "app/mDirTreeview.h"
#include "imaging/DecoderPool.h"
#include "platform/Events.h"
#include "platform/ListView.h"
#include "platform/PictureBox.h"
#include "platform/ProgramFolder.h"
#include "settings/mSetup.h"
#include "windows/fSplash.h"

#include <QApplication>
#include <QDir>
#include <QPointer>

std::string& AddBackslash(std::string& path) {
    const char separator = QDir::separator().toLatin1();
    if (path.empty() || path.back() != separator) {
        path.push_back(separator);
    }
    return path;
}

std::string StartFolder(const settings::SetupRecord& setup) {
    if (setup.StartWithLastPath != 0) {
        std::string folder = settings::LastPathFolder(setup.LastPath);
        if (!folder.empty()) {
            return folder;
        }
    }
    return platform::DefaultLastPath().toStdString();
}

int StartView(const settings::SetupRecord& setup) {
    return setup.StartInThumbnailView != 0 ? platform::ListView::LargeIcon
                                           : platform::ListView::Report;
}

std::unique_ptr<imaging::PictureDecoder> MakePictureDecoder() {
    // Warm workers beside the executable (or under libexec when installed).
    return std::make_unique<imaging::DecoderPool>();
}

StartupServices::StartupServices()
    : loadSetup(settings::LoadSetup), doEvents(platform::DoEvents),
      waitForEvents(platform::WaitForEvents),
      makeSplash([] { return std::make_unique<fSplash>(); }), showFolderTree(ShowFolderTree),
      makeDecoder(MakePictureDecoder) {}

std::unique_ptr<fMain> StartUp(const StartupServices& services, const std::string& folder,
                               const QString& file) {
    services.loadSetup();
    services.doEvents();
    auto window = std::make_unique<fMain>(nullptr, services.makeDecoder());
    SetTreeHost(window->pictreeview());

    // The splash may close itself early (when it loses the focus), so it is
    // watched through a guarded pointer, and a splash that is closed or gone
    // counts as ready: waiting for it could otherwise never end.
    QPointer<fSplash> splash = services.makeSplash().release();
    splash->show();
    const settings::SetupRecord& setup = settings::Setup;
    window->SetOuterSizeTwips(setup.WindowWidth, setup.WindowHeight);
    window->CentreOnScreen(); // centred at its stored size
    while (splash != nullptr && splash->isVisible() && !splash->ReadyToClose()) {
        services.waitForEvents();
    }

    window->show();
    // The frame is known once the window is shown; the stored size is the outer
    // size, frame included.
    if (!window->isMaximized()) {
        window->SetOuterSizeTwips(setup.WindowWidth, setup.WindowHeight);
    }
    services.doEvents();
    delete splash.data();

    std::string path = folder.empty() ? StartFolder(setup) : folder;
    services.showFolderTree(AddBackslash(path));
    // The tree lists its start folder as it selects it.
    if (!file.isEmpty()) {
        window->ShowFile(file);
    }
    return window;
}

int Main(const std::string& folder, const QString& file) {
    // The program ends only through the main window's confirmed exit.
    QApplication::setQuitOnLastWindowClosed(false);
    const std::unique_ptr<fMain> window = StartUp(StartupServices(), folder, file);
    return QApplication::exec();
}

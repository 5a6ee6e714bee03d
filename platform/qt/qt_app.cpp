// Start-up of the Qt backend: the one QApplication of the process, the
// program's resources, and the X11 event filter on xcb.
#include <QApplication>

#include <vector>

#include "platform/qt/qt_x11.h"
#include "platform/system.h"

// The resources live in a static library: they must be registered by hand.
static void RegisterResources() { Q_INIT_RESOURCE(resources); }

namespace platform {

void InitPlatform(int argc, char** argv)
{
    if (QCoreApplication::instance())
        return;
    // QApplication keeps references to argc and argv for its whole life.
    static int savedArgc = argc;
    static std::vector<char*> savedArgv(argv, argv + argc);
    static char programName[] = "cevelmo";
    if (savedArgv.empty()) {
        savedArgv.push_back(programName);
        savedArgc = 1;
    }
    savedArgv.push_back(nullptr);
    RegisterResources();
    new QApplication(savedArgc, savedArgv.data());  // lives as long as the process
    QApplication::setApplicationName(QStringLiteral("CeVelmo"));
    // The program ends only when it posts its quit message, never because
    // its last visible window (a menu or a message box, say) went away.
    QApplication::setQuitOnLastWindowClosed(false);
    // No icon for the whole program: every window would carry it, the notes
    // too (two images, 5 KB, sent at each window's creation for the window
    // manager to decode), though they stay out of the taskbar and the window
    // switcher and never show it. The dialogs and message boxes set it.
    qt::x11::InstallEventFilter();
}

}  // namespace platform

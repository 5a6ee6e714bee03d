// Process-level services on Qt: start-up (the one QApplication of the
// process on the desktop it is to use, Qt's Japanese translations, the
// program's resources, the X11 event filter on xcb),
// the program's path, local time, random numbers, blocking waits and message
// boxes. The instance lock and the hotkey have files of their own
// (qt_instance.cpp, qt_hotkey.cpp).
#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QThread>
#include <QTranslator>

#include <string>
#include <vector>

#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_desktop_check.h"
#include "platform/qt/qt_ime_framework.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_windows.h"
#include "platform/qt/qt_x11.h"
#include "platform/system.h"
#include "platform/writer.h"

// The resources live in a static library: they must be registered by hand.
static void RegisterResources() { Q_INIT_RESOURCE(resources); }

namespace platform {
namespace {

QMessageBox::StandardButtons ButtonsOf(std::uint32_t style)
{
    switch (style & 0xF) {
    case mb::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case mb::YesNo: return QMessageBox::Yes | QMessageBox::No;
    default: return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOf(std::uint32_t style)
{
    switch (style & 0xF0) {
    case mb::IconQuestion: return QMessageBox::Question;
    case mb::IconExclamation: return QMessageBox::Warning;
    default: return QMessageBox::NoIcon;
    }
}

int AnswerOf(int button)
{
    switch (button) {
    case QMessageBox::Yes: return id::Yes;
    case QMessageBox::No: return id::No;
    case QMessageBox::Cancel: return id::Cancel;
    default: return id::Ok;
    }
}

// Qt's own words (the buttons of every message box, the colour chooser, the
// file dialogs) read Japanese like the program's, whatever the user's
// locale. Where Qt's translations are not installed they stay English.
void LoadJapaneseTranslations(QApplication& application)
{
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
}

}  // namespace

void InitPlatform(int argc, char** argv)
{
    if (QCoreApplication::instance())
        return;
    // From here on SIGTERM, SIGINT and SIGHUP end the program cleanly, even
    // before it has made its windows.
    qt::InstallSessionEndSignals();
    // QApplication keeps references to argc and argv for its whole life.
    static int savedArgc = argc;
    static std::vector<char*> savedArgv(argv, argv + argc);
    static char programName[] = "cevelmo";
    if (savedArgv.empty()) {
        savedArgv.push_back(programName);
        savedArgc = 1;
    }
    static std::string platformName = qt::PlatformToRunOn();
    static char platformOption[] = "-platform";
    if (!platformName.empty()) {
        savedArgv.insert(savedArgv.begin() + 1, {platformOption, platformName.data()});
        savedArgc += 2;
    }
    savedArgv.push_back(nullptr);
    RegisterResources();
    // Lives as long as the process.
    static QApplication* application = new QApplication(savedArgc, savedArgv.data());
    QApplication::setApplicationName(QStringLiteral("CeVelmo"));
    LoadJapaneseTranslations(*application);
    // The program ends only when it posts its quit message, never because
    // its last visible window (a menu or a message box, say) went away.
    QApplication::setQuitOnLastWindowClosed(false);
    // No icon for the whole program: every window would carry it, the notes
    // too (two images, 5 KB, sent at each window's creation for the window
    // manager to decode), though they stay out of the taskbar and the window
    // switcher and never show it. The dialogs and message boxes set it.
    qt::WatchSessionEnd();
    qt::x11::InstallEventFilter();
    StartWriterThread();
    qt::ime::GiveBackAfterEarlierRun();
}

// The X connection's reader thread runs until the application object goes;
// left running, it could read Qt's globals while exit destroys them.
void EndPlatform()
{
    // Every save handed to the disk writer reaches the disk before the end,
    // however the program ends.
    FinishWriter();
    delete QCoreApplication::instance();
}

std::u16string GetModuleFilePath()
{
    QString path = QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
    if (path.isEmpty())
        path = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return path.toStdU16String();
}

LocalTime GetLocalTimeNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    return LocalTime{date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

std::uint32_t RandomNumber() { return QRandomGenerator::global()->generate(); }

void SleepMilliseconds(int milliseconds)
{
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

int ShowMessageBox(const std::u16string& text, const std::u16string& caption, std::uint32_t style)
{
    QMessageBox box(IconOf(style), qt::ToQString(caption), qt::ToQString(text),
                    ButtonsOf(style));
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowIcon(qt::ProgramIcon());
    if (style & mb::SetForeground)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);  // above the topmost notes
    if ((style & 0xF) == mb::YesNo)
        box.setEscapeButton(QMessageBox::No);
    box.show();
    box.raise();
    box.activateWindow();
    return AnswerOf(box.exec());
}

}  // namespace platform

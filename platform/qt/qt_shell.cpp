// The desktop shell on Qt: the program's icon images (drawn at 16 and 32
// pixels), the tray icon (one QSystemTrayIcon per owner and id, whose clicks
// are posted to the owner as its callback message, the menu a D-Bus tray
// draws for it, and the warnings shown at it) and the tray host coming and
// going, the user's special folders (launcher files are written in
// platform/posix), and handing files and
// addresses to the desktop's default applications (xdg-open, through
// QDesktopServices, or watched to its end where the program must hear of a
// file that nothing could open).
//
// Qt docks an icon only into the tray that runs when the icon is shown, so a
// tray that starts later would stay empty: the X11 side tells when a tray host
// starts or ends (qt_x11.cpp). On a desktop whose tray is a D-Bus
// StatusNotifier host, Qt registers the icons there and registers them again
// when that host restarts.
#include "platform/qt/qt_shell.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDesktopServices>
#include <QDir>
#include <QIcon>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QUrl>

#include <map>
#include <memory>
#include <utility>

#include "platform/qt/qt_menu.h"
#include "platform/qt/qt_windows.h"
#include "platform/qt/qt_x11.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace platform::qt {

TrayIconTable& TrayIcons()
{
    // Never destroyed: Qt objects must not outlive Qt's own teardown at exit.
    static auto* icons = new TrayIconTable;
    return *icons;
}

namespace {

// Long enough to read a warning of a few lines.
constexpr int kTrayMessageMilliseconds = 10000;

std::map<IconHandle, QIcon>& Icons()
{
    // Never destroyed: Qt objects must not outlive Qt's own teardown at exit.
    static auto* icons = new std::map<IconHandle, QIcon>;
    return *icons;
}
IconHandle lastIcon = 0;

QIcon IconOf(IconHandle icon)
{
    const auto it = Icons().find(icon);
    return it == Icons().end() ? QIcon() : it->second;
}

// The menu a tray draws itself, and what it was built from, so that the
// same menu set again changes nothing the tray must fetch anew.
struct TrayMenu {
    std::unique_ptr<QMenu> menu;
    QString built;
};

std::map<TrayKey, TrayMenu>& TrayMenus()
{
    static auto* menus = new std::map<TrayKey, TrayMenu>;
    return *menus;
}

// Qt puts the icons on D-Bus, as StatusNotifierItems whose menus the tray
// draws, when a StatusNotifier host is registered the first time it is
// asked for a tray; this asks the same question once, at that moment
// (IsTrayAvailable).
bool TrayDrawsMenus()
{
    static const bool draws = [] {
        QDBusInterface watcher(QStringLiteral("org.kde.StatusNotifierWatcher"),
                               QStringLiteral("/StatusNotifierWatcher"),
                               QStringLiteral("org.kde.StatusNotifierWatcher"), QDBusConnection::sessionBus());
        return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
    }();
    return draws;
}

// A D-Bus tray shows the icon's menu only when it holds items, so the icon
// gets its menu at once; the owner fills it (SetTrayIconMenu), and again
// each time the tray is about to show it.
void GiveMenu(QSystemTrayIcon& tray, TrayKey key, std::uint32_t message)
{
    auto menu = std::make_unique<QMenu>();
    const WindowHandle owner = key.first;
    const std::uint32_t id = key.second;
    QObject::connect(menu.get(), &QMenu::aboutToShow, menu.get(),
                     [owner, id, message] { SendWindowMessage(owner, message, id, wm::InitMenuPopup); });
    QObject::connect(menu.get(), &QMenu::triggered, menu.get(), [owner, message](QAction* action) {
        const auto command = static_cast<WParam>(action->data().toULongLong());
        if (command != 0)
            PostWindowMessage(owner, message, command, wm::Command);
    });
    tray.setContextMenu(menu.get());
    TrayMenus()[key] = TrayMenu{std::move(menu), QString()};
}

// The drawn image nearest to the size, scaled to it exactly. The images are
// PNG files and are read as such: left to guess the format, Qt would load
// every image format plugin it has (SVG with its library, JPEG, GIF, ...) to
// ask each whether it reads PNG, at every start.
QPixmap ProgramImage(int size)
{
    const QString file = size <= 16 ? QStringLiteral(":/icons/cevelmo-16.png")
                                    : QStringLiteral(":/icons/cevelmo-32.png");
    QImageReader reader(file, "png");
    reader.setAutoDetectImageFormat(false);
    const QPixmap pixmap = QPixmap::fromImage(reader.read());
    if (pixmap.isNull() || pixmap.width() == size)
        return pixmap;
    return pixmap.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

void Configure(QSystemTrayIcon& tray, const TrayIconData& data)
{
    if (data.flags & nif::Icon)
        tray.setIcon(IconOf(data.icon));
    if (data.flags & nif::Tip)
        tray.setToolTip(QString::fromStdU16String(data.tip));
}

// Runs once the event that changed the tray host has been handled by Qt
// too. Without a tray the icons are gone; with one, those still kept are
// docked into it anew and every window hears that icons can be added.
void FollowTrayHost()
{
    if (!IsTrayAvailable()) {
        for (const auto& [key, tray] : TrayIcons())
            tray->hide();
        TrayIcons().clear();
        TrayMenus().clear();
        return;
    }
    for (const auto& [key, tray] : TrayIcons()) {
        tray->hide();
        tray->show();
    }
    for (const auto& [handle, record] : AllRecords()) {
        if (!record->destroying)
            PostWindowMessage(handle, wm::TrayCreated, 0, 0);
    }
}

}  // namespace

QIcon ProgramIcon()
{
    QIcon icon;
    icon.addPixmap(ProgramImage(16));
    icon.addPixmap(ProgramImage(32));
    return icon;
}

void x11::TrayHostChanged()
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), &FollowTrayHost, Qt::QueuedConnection);
}

}  // namespace platform::qt

namespace platform {
using namespace platform::qt;

IconHandle LoadIconImage(int resourceId, int size)
{
    if (resourceId != kProgramIcon || size <= 0)
        return 0;
    const QPixmap image = ProgramImage(size);
    if (image.isNull())
        return 0;
    Icons()[++lastIcon] = QIcon(image);
    return lastIcon;
}

void DestroyIconImage(IconHandle icon) { Icons().erase(icon); }

bool IsTrayAvailable()
{
    TrayDrawsMenus();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool AddTrayIconEntry(const TrayIconData& data)
{
    const auto key = std::make_pair(data.owner, data.id);
    if (!IsTrayAvailable() || !IsLiveWindow(data.owner) || TrayIcons().count(key))
        return false;
    auto tray = std::make_unique<QSystemTrayIcon>();
    Configure(*tray, data);
    if (data.flags & nif::Message) {
        const WindowHandle owner = data.owner;
        const std::uint32_t id = data.id;
        const std::uint32_t message = data.callbackMessage;
        // Either button on an X tray, and a D-Bus tray's request for the
        // icon's menu (its ContextMenu, where it draws none itself).
        QObject::connect(tray.get(), &QSystemTrayIcon::activated, tray.get(),
                         [owner, id, message](QSystemTrayIcon::ActivationReason reason) {
                             if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context)
                                 PostWindowMessage(owner, message, id, wm::LeftButtonUp);
                         });
        if (TrayDrawsMenus())
            GiveMenu(*tray, key, message);
    }
    tray->show();
    TrayIcons()[key] = std::move(tray);
    return true;
}

bool DeleteTrayIconEntry(const TrayIconData& data)
{
    const auto it = TrayIcons().find({data.owner, data.id});
    if (it == TrayIcons().end())
        return false;
    it->second->hide();
    TrayIcons().erase(it);
    TrayMenus().erase({data.owner, data.id});
    return true;
}

bool SetTrayIconMenu(const TrayIconData& data, MenuHandle menu)
{
    const auto it = TrayMenus().find({data.owner, data.id});
    if (it == TrayMenus().end())
        return false;
    // Built anew only when it changed: each change sends the tray the
    // whole menu again.
    QString built = DescribeMenu(menu);
    if (built != it->second.built) {
        FillMenu(*it->second.menu, menu);
        it->second.built = std::move(built);
    }
    return true;
}

std::optional<Rect> GetTrayIconBounds(WindowHandle owner, std::uint32_t id)
{
    const auto it = TrayIcons().find({owner, id});
    if (it == TrayIcons().end())
        return std::nullopt;
    // Empty while the icon is not docked, and where the tray does not tell.
    const QRect place = it->second->geometry();
    if (place.isEmpty())
        return std::nullopt;
    return ToRect(place);
}

// Qt shows the message through the desktop's notification service when
// there is one, else as a balloon of its own beside the icon.
bool ShowTrayIconMessage(const TrayIconData& data, const std::u16string& title, const std::u16string& text)
{
    const auto it = TrayIcons().find({data.owner, data.id});
    if (it == TrayIcons().end() || !QSystemTrayIcon::supportsMessages())
        return false;
    it->second->showMessage(QString::fromStdU16String(title), QString::fromStdU16String(text),
                            QSystemTrayIcon::Warning, kTrayMessageMilliseconds);
    return true;
}
namespace {

// The base folder of the user's data by the XDG rules: $XDG_DATA_HOME when
// it is an absolute path (a relative one is to be ignored), else
// ~/.local/share. It need not exist yet; whoever keeps data there makes it.
std::optional<std::u16string> UserDataHome()
{
    const QString set = qEnvironmentVariable("XDG_DATA_HOME");
    if (!set.isEmpty() && QDir::isAbsolutePath(set))
        return QDir::cleanPath(set).toStdU16String();
    const QString home = QDir::homePath();
    if (home.isEmpty())
        return std::nullopt;
    return QDir::cleanPath(home + QStringLiteral("/.local/share")).toStdU16String();
}

}  // namespace

// The folders of the XDG base and user directories: the documents and the
// desktop folder as xdg-user-dirs names them, and the autostart folder of
// the user's configuration, which autostart runners read at login.
std::optional<std::u16string> GetSpecialFolderPath(int folderId)
{
    if (folderId == csidl::LocalAppData)
        return UserDataHome();
    QString path;
    switch (folderId) {
    case csidl::Personal: path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation); break;
    case csidl::Desktop:
        path = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        // A desktop that shows no folder is reported as the home folder,
        // which is no place for launchers.
        if (path == QStandardPaths::writableLocation(QStandardPaths::HomeLocation))
            return std::nullopt;
        break;
    case csidl::Startup:
        // Named even before it exists: a session that never had anything
        // start with it has no such folder, and looking for a launcher
        // there must not make one.
        path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        if (path.isEmpty())
            return std::nullopt;
        return (path + QStringLiteral("/autostart")).toStdU16String();
    default: return std::nullopt;
    }
    // A documents or desktop folder that was never made is no place to put
    // anything in.
    if (path.isEmpty() || !QDir(path).exists())
        return std::nullopt;
    return path.toStdU16String();
}

bool ShellExecuteOpen(const std::u16string& verb, const std::u16string& file)
{
    if (verb != u"open" || file.empty())
        return false;
    const QString target = QString::fromStdU16String(file);
    // Anything with a scheme ("mailto:", "http:") is an address, the rest a file.
    QUrl url(target);
    if (target.startsWith(QLatin1Char('/')) || url.scheme().isEmpty())
        url = QUrl::fromLocalFile(target);
    return QDesktopServices::openUrl(url);
}

// The desktop's opener ends with a status of its own: 0 once an application
// took the file, another when it found none (or the file is gone). Where it
// is missing, Qt's own search for a browser or a desktop's opener stands in,
// which says only whether something could be started.
void ShellOpenFileOrNotify(const std::u16string& file, WindowHandle owner, std::uint32_t message, WParam tag)
{
    const auto tell = [owner, message, tag] { PostWindowMessage(owner, message, tag, 0); };
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        if (!ShellExecuteOpen(u"open", file))
            tell();
        return;
    }
    // Runs as long as the opener does (with some desktops, as long as the
    // application it started), and is deleted when it ends, or with the
    // application object at the program's end.
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, [process, tell](int code, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit || code != 0)
            tell();
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, tell](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        tell();
        process->deleteLater();
    });
    process->start(opener, {QString::fromStdU16String(file)});
}

}  // namespace platform

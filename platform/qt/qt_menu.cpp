// Popup menus on Qt: the program's menus are kept as item lists and turned
// into a QMenu (with its submenus) each time one is shown. QMenu::exec runs
// the nested loop, in which posted messages keep travelling on Qt's queue.
#include "platform/qt/qt_menu.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

#include <map>
#include <memory>
#include <vector>

#include "platform/menu.h"
#include "platform/qt/qt_text.h"
#include "platform/window.h"

namespace platform {
namespace {

struct Item {
    std::uint32_t flags = 0;
    std::uintptr_t item = 0;
    QString label;
};

std::map<MenuHandle, std::vector<Item>>& Menus()
{
    static std::map<MenuHandle, std::vector<Item>> menus;
    return menus;
}
MenuHandle lastMenu = 0;

// Fills a QMenu from a menu's items; `depth` stops a menu that contains itself.
void Fill(QMenu& menu, MenuHandle handle, int depth)
{
    const auto it = Menus().find(handle);
    if (it == Menus().end() || depth > 8)
        return;
    for (const Item& item : it->second) {
        if (item.flags & mf::Separator) {
            menu.addSeparator();
            continue;
        }
        QAction* action = nullptr;
        if (item.flags & mf::Submenu) {
            QMenu* submenu = menu.addMenu(item.label);  // owned by `menu`
            Fill(*submenu, static_cast<MenuHandle>(item.item), depth + 1);
            action = submenu->menuAction();
        } else {
            action = menu.addAction(item.label);
            action->setData(QVariant::fromValue(static_cast<qulonglong>(item.item)));
        }
        action->setEnabled((item.flags & mf::Grey) == 0);
        if (item.flags & mf::Checked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
}

void Describe(QString& text, MenuHandle handle, int depth)
{
    const auto it = Menus().find(handle);
    if (it == Menus().end() || depth > 8)
        return;
    text += QLatin1Char('[');
    for (const Item& item : it->second) {
        text += QString::number(item.flags) + QLatin1Char(' ') + QString::number(item.item) + QLatin1Char(' ') +
                item.label + QLatin1Char('\n');
        if (item.flags & mf::Submenu)
            Describe(text, static_cast<MenuHandle>(item.item), depth + 1);
    }
    text += QLatin1Char(']');
}

}  // namespace

void qt::FillMenu(QMenu& menu, MenuHandle handle)
{
    menu.clear();
    Fill(menu, handle, 0);
}

QString qt::DescribeMenu(MenuHandle handle)
{
    QString text;
    Describe(text, handle, 0);
    return text;
}

MenuHandle CreatePopupMenuHandle()
{
    Menus()[++lastMenu] = {};
    return lastMenu;
}

bool DestroyMenuHandle(MenuHandle menu) { return Menus().erase(menu) > 0; }

bool AppendMenuItem(MenuHandle menu, std::uint32_t flags, std::uintptr_t item, const std::u16string& label)
{
    const auto it = Menus().find(menu);
    if (it == Menus().end())
        return false;
    if ((flags & mf::Submenu) && !Menus().count(static_cast<MenuHandle>(item)))
        return false;
    it->second.push_back({flags, item, qt::ToShownQString(label)});
    return true;
}

namespace {

// Watches one showing of a menu. On X11 an open menu holds the keyboard and
// the mouse, so the program cannot be left while it is open; yet Qt may
// still count a note hidden a moment before as focused, and its late
// reading that the program lost the focus closes every open menu, before
// the user could touch the menu just opened. (On Wayland the compositor
// closes a menu the user leaves, and its word stands.)
class MenuShowing : public QObject {
public:
    MenuShowing() { qApp->installEventFilter(this); }
    ~MenuShowing() override { qApp->removeEventFilter(this); }
    MenuShowing(const MenuShowing&) = delete;
    MenuShowing& operator=(const MenuShowing&) = delete;

    bool ClosedByLateFocusLoss() const
    {
        return lostFocus_ && !touched_ && !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    }

    bool eventFilter(QObject* target, QEvent* event) override
    {
        switch (event->type()) {
        // The release of the click that opened the menu is no touch.
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress: touched_ = touched_ || target->isWidgetType(); break;
        case QEvent::ApplicationDeactivate: lostFocus_ = true; break;
        default: break;
        }
        return false;
    }

private:
    bool lostFocus_ = false;
    bool touched_ = false;
};

}  // namespace

int TrackPopupMenuAt(MenuHandle handle, std::uint32_t flags, Point at, WindowHandle owner)
{
    if (!Menus().count(handle))
        return 0;
    QMenu menu;
    Fill(menu, handle, 0);
    // The menu's named corner lies at the point; exec keeps it on the screen.
    QPoint place(at.x, at.y);
    const QSize size = menu.sizeHint();
    if (flags & tpm::RightAlign)
        place.rx() -= size.width();
    if (flags & tpm::BottomAlign)
        place.ry() -= size.height();
    // Shown again when nothing but that late reading closed it (a few times
    // at most: each reading comes once).
    const QAction* chosen = nullptr;
    for (int shown = 0; shown < 3; ++shown) {
        const MenuShowing showing;
        chosen = menu.exec(place);
        if (chosen != nullptr || !showing.ClosedByLateFocusLoss())
            break;
    }
    const int id = (chosen != nullptr && chosen->isEnabled()) ? static_cast<int>(chosen->data().toULongLong()) : 0;
    if (flags & tpm::ReturnCommand)
        return id;
    if (id > 0)
        PostWindowMessage(owner, wm::Command, static_cast<WParam>(id), 0);
    return id > 0 ? 1 : 0;
}

}  // namespace platform

// The program's own dialogs on Qt: a QDialog whose child widgets stand at
// the rectangles the template gives in dialog units, mapped from the dialog
// font. The widgets report to the dialog's procedure as the template's
// controls would (a click, a new selection, an edit by the user); changes
// the program makes report nothing. The close box and the Escape key ask
// the procedure to cancel; only the procedure ends the dialog. QDialog::exec
// runs the nested loop, in which posted messages keep travelling on Qt's
// queue.
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/dialog_box.h"
#include "platform/qt/qt_dialog_box.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_windows.h"
#include "platform/shared/dialog_layout.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace platform::qt {

std::vector<DialogWindow*>& OpenDialogs()
{
    static std::vector<DialogWindow*> open;
    return open;
}

DialogWindow* FindDialog(WindowHandle dialog)
{
    for (DialogWindow* open : OpenDialogs()) {
        if (open->handle == dialog)
            return open;
    }
    return nullptr;
}

const Control* FindEntry(WindowHandle dialog, int id)
{
    DialogWindow* open = FindDialog(dialog);
    if (!open || id == -1)
        return nullptr;
    for (const Control& control : open->controls) {
        if (control.id == id)
            return &control;
    }
    return nullptr;
}

QWidget* FindWidget(WindowHandle dialog, int id)
{
    const Control* control = FindEntry(dialog, id);
    return control ? control->widget.data() : nullptr;
}

namespace {

namespace layout = platform::shared;

// A radio button ticked by the program only: a click reports itself and
// leaves the tick as it was.
class ManagedRadioButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    void nextCheckState() override {}
};

layout::BaseUnits BaseUnitsOf(const QFont& font)
{
    const QFontMetrics metrics(font);
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int average = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    return layout::BaseUnitsOf(average, metrics.horizontalAdvance(QChar(0x3042)), metrics.height());
}

QWidget* MakeButton(const DialogItem& item, DialogWindow& dialog)
{
    const QString text = QString::fromStdU16String(item.text);
    QAbstractButton* button = nullptr;
    switch (item.style & bs::KindMask) {
    case bs::AutoCheckBox: button = new QCheckBox(text, &dialog); break;
    case bs::RadioButton: {
        auto* radio = new ManagedRadioButton(text, &dialog);
        radio->setAutoExclusive(false);
        button = radio;
        break;
    }
    default: {
        auto* push = new QPushButton(text, &dialog);
        push->setAutoDefault(false);
        push->setDefault((item.style & bs::KindMask) == bs::DefPushButton);
        button = push;
    }
    }
    const int id = item.id;
    QObject::connect(button, &QAbstractButton::clicked, &dialog, [&dialog, id] { dialog.Report(id, bn::Clicked); });
    return button;
}

QWidget* MakeStatic(const DialogItem& item, DialogWindow& dialog, const Rect& bounds)
{
    auto* label = new QLabel(&dialog);
    const std::uint32_t kind = item.style & ss::KindMask;
    if (kind == ss::Icon) {
        // The program's icon is its only icon resource.
        const int size = std::min(bounds.Width(), bounds.Height());
        if (item.icon == kProgramIcon)
            label->setPixmap(ProgramIcon().pixmap(size, size));
        return label;
    }
    label->setTextFormat(Qt::PlainText);
    label->setText(QString::fromStdU16String(item.text));
    const Qt::Alignment across = kind == ss::Center ? Qt::AlignHCenter : kind == ss::Right ? Qt::AlignRight : Qt::AlignLeft;
    label->setAlignment(across | Qt::AlignTop);
    return label;
}

QWidget* MakeEdit(const DialogItem& item, DialogWindow& dialog)
{
    auto* edit = new EditControl(QString::fromStdU16String(item.text), &dialog);
    edit->setFrame((item.style & ws::Border) != 0);
    edit->setReadOnly((item.style & es::ReadOnly) != 0);
    edit->setAlignment(((item.style & es::Center) ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    const int id = item.id;
    QObject::connect(edit, &QLineEdit::textEdited, &dialog, [&dialog, id] { dialog.Report(id, en::Changed); });
    return edit;
}

QWidget* MakeList(const DialogItem& item, DialogWindow& dialog)
{
    auto* list = new QListWidget(&dialog);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setFrameShape((item.style & ws::Border) ? QFrame::StyledPanel : QFrame::NoFrame);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy((item.style & ws::VScroll) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    if (item.style & lbs::Notify) {
        const int id = item.id;
        QObject::connect(list, &QListWidget::currentRowChanged, &dialog,
                         [&dialog, id] { dialog.Report(id, lbn::SelectionChanged); });
    }
    return list;
}

QWidget* MakeWidget(const DialogItem& item, DialogWindow& dialog, const Rect& bounds)
{
    QWidget* widget = nullptr;
    switch (item.kind) {
    case ControlClass::Button: widget = MakeButton(item, dialog); break;
    case ControlClass::Static: widget = MakeStatic(item, dialog, bounds); break;
    case ControlClass::Edit: widget = MakeEdit(item, dialog); break;
    case ControlClass::ListBox: widget = MakeList(item, dialog); break;
    }
    // Tab walks the tab stops in the template's order, which is the order
    // the widgets are made in; a label never takes the keys.
    if (item.style & ws::TabStop)
        widget->setFocusPolicy(Qt::StrongFocus);
    else
        widget->setFocusPolicy(item.kind == ControlClass::Static ? Qt::NoFocus : Qt::ClickFocus);
    widget->setEnabled((item.style & ws::Disabled) == 0);
    if (!(item.style & ws::Visible))
        widget->hide();
    return widget;
}

// Makes the controls and lays them out: each at its template rectangle,
// labels widened where their text needs it.
void MakeControls(DialogWindow& dialog, const DialogTemplate& dialogTemplate, const Rect& client)
{
    std::vector<layout::LaidOutItem> laidOut;
    for (const DialogItem& item : dialogTemplate.items) {
        const Rect bounds = layout::ToPixels(item.rect, dialog.units);
        QWidget* widget = MakeWidget(item, dialog, bounds);
        dialog.controls.push_back({item.id, item.style, widget});
        laidOut.push_back({bounds, widget->sizeHint().width(), layout::GrowthOf(item)});
    }
    layout::FitLabels(laidOut, client.Width(), dialog.units.x / 4);
    for (std::size_t i = 0; i < laidOut.size(); ++i)
        dialog.controls[i].widget->setGeometry(ToQRect(laidOut[i].bounds));
}

void SetUpWindow(DialogWindow& dialog, const DialogTemplate& dialogTemplate)
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint;
    if (dialogTemplate.style & ws::SysMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    dialog.setWindowFlags(flags);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setWindowTitle(QString::fromStdU16String(dialogTemplate.caption));
    dialog.setWindowIcon(ProgramIcon());
    const QFont font = DialogFont(dialogTemplate.fontFace, dialogTemplate.fontPoints);
    dialog.setFont(font);
    dialog.units = BaseUnitsOf(font);
}

void FocusFirstTabStop(DialogWindow& dialog)
{
    for (const Control& control : dialog.controls) {
        QWidget* widget = control.widget;
        if (widget && widget->focusPolicy() == Qt::StrongFocus && widget->isEnabled() && !widget->isHidden()) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

struct ControlPainter {
    std::unique_ptr<QPainter> painter;
    QPointer<EditControl> edit;
};

std::map<DrawContext, ControlPainter>& ControlPainters()
{
    static std::map<DrawContext, ControlPainter> painters;
    return painters;
}

Colour FromQColor(const QColor& c)
{
    return static_cast<Colour>(c.red()) | (static_cast<Colour>(c.green()) << 8) |
           (static_cast<Colour>(c.blue()) << 16);
}

}  // namespace
}  // namespace platform::qt

namespace platform {
using namespace platform::qt;

int RunModalDialog(const DialogTemplate& dialogTemplate, WindowProcFn procedure, LParam parameter)
{
    if (!procedure || !qApp)
        return -1;
    DialogWindow dialog;
    SetUpWindow(dialog, dialogTemplate);
    const Rect place = layout::ToPixels(dialogTemplate.rect, dialog.units);
    const Rect client = layout::ToPixels({0, 0, dialogTemplate.rect.width, dialogTemplate.rect.height}, dialog.units);
    MakeControls(dialog, dialogTemplate, client);
    const Rect bounds{place.left, place.top, place.left + client.Width(), place.top + client.Height()};
    dialog.setFixedSize(client.Width(), client.Height());
    dialog.setGeometry(ToQRect(bounds));
    const WindowHandle handle = AddDialogRecord(dialog, dialogTemplate.caption, bounds, procedure);
    dialog.handle = handle;
    OpenDialogs().push_back(&dialog);

    if (SendWindowMessage(handle, wm::InitDialog, 0, parameter) != 0 && !dialog.ended)
        FocusFirstTabStop(dialog);
    if (!dialog.ended && IsLiveWindow(handle))
        dialog.exec();

    std::erase(OpenDialogs(), &dialog);
    for (auto it = ControlPainters().begin(); it != ControlPainters().end();) {
        if (!it->second.edit || it->second.edit->window() == &dialog) {
            ClosePaintContext(it->first);
            it = ControlPainters().erase(it);
        } else {
            ++it;
        }
    }
    DestroyAppWindow(handle);
    return dialog.result;
}

bool EndModalDialog(WindowHandle window, int result)
{
    DialogWindow* dialog = FindDialog(window);
    if (!dialog || dialog->ended)
        return false;
    dialog->ended = true;
    dialog->result = result;
    // Before the dialog shows (from wm::InitDialog) there is no loop to end.
    if (dialog->isVisible())
        dialog->done(result);
    return true;
}

bool SetControlText(WindowHandle dialog, int id, const std::u16string& text)
{
    const QString value = QString::fromStdU16String(text);
    QWidget* widget = FindWidget(dialog, id);
    if (auto* label = dynamic_cast<QLabel*>(widget))
        label->setText(value);
    else if (auto* button = dynamic_cast<QAbstractButton*>(widget))
        button->setText(value);
    else if (auto* edit = dynamic_cast<QLineEdit*>(widget))
        edit->setText(value);
    return widget != nullptr;
}

std::u16string GetControlText(WindowHandle dialog, int id)
{
    QWidget* widget = FindWidget(dialog, id);
    if (auto* label = dynamic_cast<QLabel*>(widget))
        return label->text().toStdU16String();
    if (auto* button = dynamic_cast<QAbstractButton*>(widget))
        return button->text().toStdU16String();
    if (auto* edit = dynamic_cast<QLineEdit*>(widget))
        return edit->text().toStdU16String();
    return {};
}

bool SetControlCheck(WindowHandle dialog, int id, int state)
{
    auto* button = FindControl<QAbstractButton>(dialog, id);
    if (!button || !button->isCheckable())
        return false;
    const QSignalBlocker quiet(button);
    button->setChecked(state != 0);
    return true;
}

int GetControlCheck(WindowHandle dialog, int id)
{
    const auto* button = FindControl<QAbstractButton>(dialog, id);
    return button && button->isChecked() ? 1 : 0;
}

bool EnableControl(WindowHandle dialog, int id, bool enable)
{
    QWidget* widget = FindWidget(dialog, id);
    if (!widget)
        return false;
    widget->setEnabled(enable);
    return true;
}

bool ClearList(WindowHandle dialog, int id)
{
    auto* list = FindControl<QListWidget>(dialog, id);
    if (!list)
        return false;
    const QSignalBlocker quiet(list);
    list->clear();
    return true;
}

int AddListItem(WindowHandle dialog, int id, const std::u16string& text)
{
    auto* list = FindControl<QListWidget>(dialog, id);
    if (!list)
        return -1;
    int index = list->count();
    if (FindEntry(dialog, id)->style & lbs::Sort) {
        std::vector<QString> items;
        for (int i = 0; i < list->count(); ++i)
            items.push_back(list->item(i)->text());
        index = layout::SortedInsertIndex(items, text, [](const QString& item) {
            return std::u16string_view(reinterpret_cast<const char16_t*>(item.utf16()),
                                       static_cast<std::size_t>(item.size()));
        });
    }
    const QSignalBlocker quiet(list);
    list->insertItem(index, QString::fromStdU16String(text));
    return index;
}

std::optional<std::u16string> GetListItem(WindowHandle dialog, int id, int index)
{
    const auto* list = FindControl<QListWidget>(dialog, id);
    if (!list || index < 0 || index >= list->count())
        return std::nullopt;
    return list->item(index)->text().toStdU16String();
}

bool SetListSelection(WindowHandle dialog, int id, int index)
{
    auto* list = FindControl<QListWidget>(dialog, id);
    if (!list || index < -1 || index >= list->count())
        return false;
    const QSignalBlocker quiet(list);
    if (index == -1) {
        list->clearSelection();
        list->setCurrentRow(-1);
        return true;
    }
    list->setCurrentRow(index);
    list->scrollToItem(list->item(index));
    return true;
}

int GetListSelection(WindowHandle dialog, int id)
{
    const auto* list = FindControl<QListWidget>(dialog, id);
    if (!list)
        return -1;
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

ControlPaint BeginControlPaint(WindowHandle dialog, int id)
{
    auto* edit = FindControl<EditControl>(dialog, id);
    if (!edit)
        return {};
    const QRect area = edit->ClientArea();
    const QColor background = edit->palette().color(QPalette::Base);
    if (edit->canvas.size() != area.size()) {
        edit->canvas = QImage(area.size(), QImage::Format_RGB32);
        edit->canvas.fill(background);
    }
    auto painter = std::make_unique<QPainter>(&edit->canvas);
    const DrawContext context = OpenPaintContext(*painter, dialog);
    ControlPainters()[context] = ControlPainter{std::move(painter), edit};
    return ControlPaint{context, Rect{0, 0, area.width(), area.height()}, FromQColor(background),
                        FromQColor(edit->palette().color(QPalette::Text))};
}

void EndControlPaint(const ControlPaint& paint)
{
    const auto it = ControlPainters().find(paint.context);
    if (it == ControlPainters().end())
        return;
    ClosePaintContext(paint.context);
    it->second.painter->end();
    if (EditControl* edit = it->second.edit)
        edit->update();
    ControlPainters().erase(it);
}

}  // namespace platform

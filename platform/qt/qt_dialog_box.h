// The program's own dialogs on Qt as the backend's files share them: the
// dialog window of RunModalDialog with its controls, the edit box the
// program paints into, and finding an open dialog and its controls. The
// dialogs are made and run in qt_dialog_box.cpp; the tests' calls on them
// (platform/testing/inspect.h) are in testing/qt_inspect_dialogs.cpp, and
// the pixels a control shows in testing/qt_inspect.cpp.
//
// Internal to the Qt backend.
#pragma once

#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QStyle>

#include <cstdint>
#include <vector>

#include "platform/dialog_box.h"
#include "platform/qt/qt_windows.h"
#include "platform/shared/dialog_layout.h"
#include "platform/system.h"

namespace platform::qt {

// An edit box the program can paint into, as the font sample is: what was
// painted lies over the box's own painting, inside its frame, until it is
// painted over.
class EditControl : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    QImage canvas;

    QRect ClientArea() const
    {
        const int frame = hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) : 0;
        return rect().adjusted(frame, frame, -frame, -frame);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QLineEdit::paintEvent(event);
        if (canvas.isNull())
            return;
        QPainter painter(this);
        painter.drawImage(ClientArea().topLeft(), canvas);
    }
};

struct Control {
    int id = -1;
    std::uint32_t style = 0;
    QPointer<QWidget> widget;
};

class DialogWindow : public QDialog {
public:
    DialogWindow() : QDialog(nullptr) {}

    WindowHandle handle = 0;
    shared::BaseUnits units;
    std::vector<Control> controls;
    bool ended = false;
    int result = 0;

    void Report(int id, std::uint32_t code)
    {
        if (handle != 0 && IsLiveWindow(handle))
            SendWindowMessage(handle, wm::Command, ControlCommand(id, code), 0);
    }

    // The close box (through closeEvent) and the Escape key come here; the
    // procedure decides whether the dialog ends.
    void reject() override { Report(id::Cancel, bn::Clicked); }
    void accept() override {}

protected:
    void moveEvent(QMoveEvent* event) override
    {
        QDialog::moveEvent(event);
        KeepBounds();
    }
    void resizeEvent(QResizeEvent* event) override
    {
        QDialog::resizeEvent(event);
        KeepBounds();
    }

private:
    void KeepBounds()
    {
        if (WindowRecord* record = FindRecord(handle))
            record->bounds = ToRect(geometry());
    }
};

// The dialogs now open, innermost last.
std::vector<DialogWindow*>& OpenDialogs();
DialogWindow* FindDialog(WindowHandle dialog);
// A control of an open dialog, by its id: its entry, its widget, and its
// widget as the kind asked for (null for another kind).
const Control* FindEntry(WindowHandle dialog, int id);
QWidget* FindWidget(WindowHandle dialog, int id);
template <typename Widget>
Widget* FindControl(WindowHandle dialog, int id)
{
    return dynamic_cast<Widget*>(FindWidget(dialog, id));
}

}  // namespace platform::qt

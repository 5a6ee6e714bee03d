// The common dialogs on Qt: QColorDialog with its 16 custom colours, and
// QFileDialog for open and save-as. The program asks its own question before
// replacing a file, so the save dialog never asks.
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "platform/dialogs.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_text.h"

namespace platform {
namespace {

QColor ToQColor(std::uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

std::uint32_t FromQColor(const QColor& color)
{
    return static_cast<std::uint32_t>(color.red()) | (static_cast<std::uint32_t>(color.green()) << 8) |
           (static_cast<std::uint32_t>(color.blue()) << 16);
}

// Qt reads the patterns from the parentheses of a filter's text.
QString FilterText(const FileFilter& filter)
{
    const QString description = qt::ToQString(filter.description);
    const QString pattern = qt::ToQString(filter.pattern);
    if (description.endsWith(QLatin1Char('(') + pattern + QLatin1Char(')')))
        return description;
    return description + QStringLiteral(" (") + pattern + QLatin1Char(')');
}

// Modal, above the program's topmost notes, with the program's icon.
void MakeModalOnTop(QDialog& dialog)
{
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    dialog.setWindowIcon(qt::ProgramIcon());
}

bool RunFileDialog(FileDialogRequest& request, bool save)
{
    QFileDialog dialog(nullptr, qt::ToQString(request.title),
                       qt::ToQString(request.initialFolder));
    MakeModalOnTop(dialog);
    QStringList filters;
    for (const FileFilter& filter : request.filters)
        filters << FilterText(filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    dialog.setDefaultSuffix(qt::ToQString(request.defaultExtension));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    const bool mustExist = !save && (request.flags & ofn::FileMustExist);
    dialog.setFileMode(mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString path = dialog.selectedFiles().constFirst();
    request.path = path.toStdU16String();
    request.fileTitle = QFileInfo(path).fileName().toStdU16String();
    return true;
}

}  // namespace

bool ChooseColorDialog(ColorRequest& request)
{
    if (request.customColors != nullptr)
        for (int i = 0; i < kCustomColorCount; ++i)
            QColorDialog::setCustomColor(i, ToQColor(request.customColors[i]));
    const QColor initial = (request.flags & cc::RgbInit) ? ToQColor(request.color) : QColor(Qt::white);
    QColorDialog dialog(initial);
    MakeModalOnTop(dialog);
    const bool chosen = dialog.exec() == QDialog::Accepted;
    if (request.customColors != nullptr)
        for (int i = 0; i < kCustomColorCount; ++i)
            request.customColors[i] = FromQColor(QColorDialog::customColor(i));
    if (chosen)
        request.color = FromQColor(dialog.selectedColor());
    return chosen;
}

bool ShowSaveFileDialog(FileDialogRequest& request) { return RunFileDialog(request, true); }
bool ShowOpenFileDialog(FileDialogRequest& request) { return RunFileDialog(request, false); }

}  // namespace platform

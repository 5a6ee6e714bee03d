// The desktop's clipboard through Qt, Unicode text only.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/clipboard.h"

namespace platform {

bool SetClipboardText(const std::u16string& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return false;
    clipboard->setText(QString::fromStdU16String(text));
    return true;
}

std::optional<std::u16string> GetClipboardText()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard != nullptr ? clipboard->mimeData() : nullptr;
    if (data == nullptr || !data->hasText()) return std::nullopt;
    return data->text().toStdU16String();
}

}  // namespace platform

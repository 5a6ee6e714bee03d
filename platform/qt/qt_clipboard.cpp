// The desktop's clipboard through Qt, Unicode text only. The program's text
// breaks its lines with CR LF; the desktop's programs break them with LF, so
// a text goes to the clipboard with LF breaks and comes back with CR LF.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/clipboard.h"
#include "platform/qt/qt_text.h"

namespace platform {

bool SetClipboardText(const std::u16string& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return false;
    QString desktop = qt::ToQString(text);
    desktop.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    clipboard->setText(desktop, QClipboard::Clipboard);
    return true;
}

std::optional<std::u16string> GetClipboardText()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard != nullptr ? clipboard->mimeData(QClipboard::Clipboard) : nullptr;
    if (data == nullptr || !data->hasText()) return std::nullopt;
    const QString desktop = data->text();
    std::u16string text;
    text.reserve(static_cast<std::size_t>(desktop.size()));
    for (qsizetype i = 0; i < desktop.size(); ++i) {
        const char16_t c = desktop.at(i).unicode();
        if (c == u'\n' && (i == 0 || desktop.at(i - 1) != u'\r')) text += u'\r';
        text += c;
    }
    return text;
}

}  // namespace platform

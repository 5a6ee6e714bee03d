// The user's special folders and handing files and addresses to the
// desktop's default applications (xdg-open, through QDesktopServices).
#include <QDesktopServices>
#include <QDir>
#include <QStandardPaths>
#include <QUrl>

#include "platform/shell.h"

namespace platform {

std::optional<std::u16string> GetSpecialFolderPath(int folderId)
{
    if (folderId != csidl::Personal)
        return std::nullopt;
    const QString path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // A documents folder that was never made is no place to start a dialog in.
    if (path.isEmpty() || !QDir(path).exists())
        return std::nullopt;
    return path.toStdU16String();
}

bool ShellExecuteOpen(WindowHandle /*owner*/, const std::u16string& verb, const std::u16string& file,
                      const std::u16string& /*parameters*/, int /*showCommand*/)
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

}  // namespace platform

// The program's UTF-16 text as Qt's strings, unit for unit. Every QString
// the backend builds from the program's text goes through here:
// QString::fromUtf16 and fromStdU16String take a leading U+FEFF for a
// byte-order mark and drop it, and a leading U+FFFE for a swapped one and
// swap every unit after it, so a note that begins with either would show
// (and, once edited, keep) another text.
//
// Internal to the Qt backend.
#pragma once

#include <QString>

#include <string_view>

namespace platform::qt {

inline QString ToQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

// What a NUL in a text looks like wherever the text is shown: Qt's layout
// would show nothing at all for it.
inline constexpr QChar kShownNul{0x2400};

// As ToQString, with each NUL as kShownNul: for text that is only looked
// at (painted, measured, a menu's label), never read back.
inline QString ToShownQString(std::u16string_view text)
{
    QString shown = ToQString(text);
    shown.replace(QChar(u'\0'), kShownNul);
    return shown;
}

}  // namespace platform::qt

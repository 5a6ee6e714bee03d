// Font objects of the Qt backend, for the drawing code that selects them.
#pragma once

#include <QFont>

#include <string>

#include "platform/font.h"

namespace platform::qt {

// The QFont a FontHandle stands for; nullptr for an unknown handle.
const QFont* FontOf(FontHandle font);

// The QFont a description asks for, and the description of a realised font.
QFont FontFromDescription(const FontDescription& description);
FontDescription DescriptionOf(const QFont& font, const FontDescription& requested);

// The font of a dialog template: "System" stands for the desktop's own
// dialog font, with Japanese glyphs.
QFont DialogFont(const std::u16string& face, int points);

}  // namespace platform::qt

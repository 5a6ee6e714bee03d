// Fonts: the 92-byte font description turned into a QFont and back, and the
// table of font objects. Heights follow the description's rule: negative is
// the character height in pixels, positive the cell height (taken as the
// pixel size), zero the default size.
#include "platform/qt/qt_font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>

#include <algorithm>
#include <map>

#include "platform/qt/qt_text.h"

namespace platform::qt {
namespace {

// The realised font and what was asked for: the fields Qt has no use for
// (width, character set, precisions, ...) read back as they were given.
struct FontObject {
    QFont font;
    FontDescription requested;
};

std::map<FontHandle, FontObject>& Fonts()
{
    // Never destroyed: Qt objects must not outlive Qt's own teardown at exit.
    static auto* fonts = new std::map<FontHandle, FontObject>;
    return *fonts;
}
FontHandle lastFont = 0;

QString FaceOf(const FontDescription& description)
{
    const auto& face = description.faceName;
    const auto end = std::find(face.begin(), face.end(), u'\0');
    return ToQString(std::u16string_view(face.data(), static_cast<std::size_t>(end - face.begin())));
}

void SetFace(FontDescription& description, const QString& family)
{
    description.faceName.fill(u'\0');
    const auto length = std::min<qsizetype>(family.size(), description.faceName.size() - 1);
    std::copy_n(family.utf16(), length, description.faceName.begin());
}

// Qt names a family that more than one foundry makes as "Family [foundry]";
// a description holds the family's name alone, as the desktop lists it.
QString FamilyOf(const QFontInfo& info)
{
    QString family = info.family();
    const qsizetype bracket = family.lastIndexOf(QLatin1String(" ["));
    if (bracket > 0 && family.endsWith(QLatin1Char(']')))
        family.truncate(bracket);
    return family;
}

}  // namespace

const QFont* FontOf(FontHandle font)
{
    const auto it = Fonts().find(font);
    return it == Fonts().end() ? nullptr : &it->second.font;
}

QFont FontFromDescription(const FontDescription& description)
{
    QFont font = QGuiApplication::font();
    const QString face = FaceOf(description);
    if (!face.isEmpty())
        font.setFamily(face);
    if (description.height != 0)
        font.setPixelSize(std::abs(description.height));
    const int weight = description.weight > 0 ? std::clamp(description.weight, 1, 1000) : 400;
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(description.italic != 0);
    font.setUnderline(description.underline != 0);
    font.setStrikeOut(description.strikeOut != 0);
    return font;
}

FontDescription DescriptionOf(const QFont& font, const FontDescription& requested)
{
    const QFontInfo info(font);
    FontDescription out = requested;
    out.height = -info.pixelSize();
    out.weight = info.weight();
    out.italic = info.italic() ? 1 : 0;
    out.underline = info.underline() ? 1 : 0;
    out.strikeOut = info.strikeOut() ? 1 : 0;
    SetFace(out, FamilyOf(info));
    return out;
}

}  // namespace platform::qt

namespace platform {
using namespace platform::qt;

bool DescribeSystemFont(FontDescription& out)
{
    if (!qGuiApp)
        return false;
    out = DescriptionOf(QFontDatabase::systemFont(QFontDatabase::GeneralFont), FontDescription{});
    return true;
}

FontHandle CreateFontObject(const FontDescription& description)
{
    if (!qGuiApp)
        return 0;
    Fonts()[++lastFont] = FontObject{FontFromDescription(description), description};
    return lastFont;
}

bool DescribeFontObject(FontHandle font, FontDescription& out)
{
    const auto it = Fonts().find(font);
    if (it == Fonts().end())
        return false;
    out = DescriptionOf(it->second.font, it->second.requested);
    return true;
}

void DeleteFontObject(FontHandle font)
{
    Fonts().erase(font);
    ForgetTextExtents(font);
}

}  // namespace platform

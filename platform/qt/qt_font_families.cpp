// The desktop's font families as fontconfig lists them, in the terms of the
// font chooser: a family is "TrueType" when it has scalable outline faces in
// TrueType, OpenType or CFF form (Type 1 outlines and bitmap faces are not),
// "Raster" when its faces are bitmaps. A family's upright face of normal
// weight is its regular style, whatever fontconfig calls it ("Book",
// "Normal", "Roman", "標準", ...). Also the font of the program's dialogs:
// the desktop's own, or a face of the same size with Japanese glyphs where
// the desktop's has none.
#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <QFontInfo>
#include <QString>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/qt/qt_font.h"

namespace platform::qt {
namespace {

struct Face {
    QString style;
    double weight = FC_WEIGHT_REGULAR;  // fontconfig's scale
    int slant = FC_SLANT_ROMAN;
    int width = FC_WIDTH_NORMAL;
    bool outline = true;
    bool scalableOutline = false;  // TrueType, OpenType or CFF
    bool japanese = false;
    bool fixedPitch = false;
};

struct Family {
    QString name;
    std::vector<Face> faces;
};

struct PatternsDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
template <typename T>
using Owned = std::unique_ptr<T, PatternsDeleter>;

QString StringOf(FcPattern* pattern, const char* object)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || value == nullptr) return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(value));
}

int IntegerOf(FcPattern* pattern, const char* object, int fallback)
{
    int value = fallback;
    FcPatternGetInteger(pattern, object, 0, &value);
    return value;
}

// A face with one weight; the patterns of a variable font that stand for a
// range of weights are left out, its named instances come on their own.
std::optional<Face> FaceOf(FcPattern* pattern)
{
    Face face;
    face.style = StringOf(pattern, FC_STYLE);
    if (FcPatternGetDouble(pattern, FC_WEIGHT, 0, &face.weight) != FcResultMatch) {
        int weight = 0;
        if (FcPatternGetInteger(pattern, FC_WEIGHT, 0, &weight) != FcResultMatch) return std::nullopt;
        face.weight = weight;
    }
    face.slant = IntegerOf(pattern, FC_SLANT, FC_SLANT_ROMAN);
    face.width = IntegerOf(pattern, FC_WIDTH, FC_WIDTH_NORMAL);
    FcBool outline = FcTrue;
    FcPatternGetBool(pattern, FC_OUTLINE, 0, &outline);
    face.outline = outline != FcFalse;
    const QString format = StringOf(pattern, FC_FONTFORMAT);
    face.scalableOutline = face.outline && (format == QLatin1String("TrueType") || format == QLatin1String("CFF"));
    FcLangSet* languages = nullptr;
    face.japanese = FcPatternGetLangSet(pattern, FC_LANG, 0, &languages) == FcResultMatch &&
                    FcLangSetHasLang(languages, reinterpret_cast<const FcChar8*>("ja")) != FcLangDifferentLang;
    face.fixedPitch = IntegerOf(pattern, FC_SPACING, FC_PROPORTIONAL) >= FC_MONO;
    return face;
}

// Every family once, by fontconfig's first name for it (the name the
// desktop's font matching knows it by), in alphabetical order; or only the
// faces of one family, which fontconfig finds without listing the rest.
std::vector<Family> ListFamilies(const QString& only = QString())
{
    Owned<FcPattern> all(FcPatternCreate());
    if (!only.isEmpty())
        FcPatternAddString(all.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(only.toUtf8().constData()));
    Owned<FcObjectSet> objects(FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_WEIGHT, FC_SLANT, FC_WIDTH, FC_OUTLINE,
                                                FC_FONTFORMAT, FC_LANG, FC_SPACING, nullptr));
    Owned<FcFontSet> fonts(FcFontList(nullptr, all.get(), objects.get()));
    std::map<QString, Family> families;
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        const QString name = StringOf(fonts->fonts[i], FC_FAMILY);
        const std::optional<Face> face = FaceOf(fonts->fonts[i]);
        if (name.isEmpty() || !face) continue;
        Family& family = families[name];
        family.name = name;
        family.faces.push_back(*face);
    }
    std::vector<Family> list;
    for (auto& [name, family] : families) list.push_back(std::move(family));
    return list;
}

bool IsScalable(const Family& family)
{
    return std::any_of(family.faces.begin(), family.faces.end(), [](const Face& f) { return f.scalableOutline; });
}

std::uint32_t FontTypeOf(const Family& family)
{
    if (IsScalable(family)) return fonttype::TrueType;
    const bool bitmap = std::any_of(family.faces.begin(), family.faces.end(), [](const Face& f) { return !f.outline; });
    return bitmap ? fonttype::Raster : 0;
}

// The faces the family is offered with: a scalable family's scalable
// faces, one per style name.
std::vector<Face> StylesOf(const Family& family)
{
    const bool scalable = IsScalable(family);
    std::vector<Face> styles;
    for (const Face& face : family.faces) {
        if (scalable && !face.scalableOutline) continue;
        const bool known = std::any_of(styles.begin(), styles.end(), [&](const Face& f) { return f.style == face.style; });
        if (!known) styles.push_back(face);
    }
    return styles;
}

// The upright face of normal width whose weight lies between Book and
// Medium, nearest to Regular; none when the family has no such face.
std::optional<std::size_t> RegularFaceOf(const std::vector<Face>& styles)
{
    std::optional<std::size_t> best;
    for (std::size_t i = 0; i < styles.size(); ++i) {
        const Face& face = styles[i];
        if (face.slant != FC_SLANT_ROMAN || face.width != FC_WIDTH_NORMAL) continue;
        if (face.weight < FC_WEIGHT_BOOK || face.weight >= FC_WEIGHT_MEDIUM) continue;
        if (!best || std::abs(face.weight - FC_WEIGHT_REGULAR) < std::abs(styles[*best].weight - FC_WEIGHT_REGULAR))
            best = i;
    }
    return best;
}

// A face as the font chooser describes it: the precisions and quality the
// desktop reports for an outline face, the Japanese character set where the
// face has Japanese glyphs, and its pitch.
FontFace Describe(const Family& family, const Face& face, bool regular)
{
    constexpr std::uint8_t kAnsiCharSet = 0;
    constexpr std::uint8_t kShiftJisCharSet = 128;
    constexpr std::uint8_t kStrokePrecision = 3;
    constexpr std::uint8_t kStrokeClipPrecision = 2;
    constexpr std::uint8_t kDraftQuality = 1;
    constexpr std::uint8_t kFixedPitch = 1;
    constexpr std::uint8_t kVariablePitch = 2;
    FontFace out;
    FontDescription& d = out.description;
    d.weight = regular ? 400 : static_cast<std::int32_t>(std::lround(FcWeightToOpenTypeDouble(face.weight)));
    d.italic = face.slant != FC_SLANT_ROMAN ? 1 : 0;
    d.charSet = face.japanese ? kShiftJisCharSet : kAnsiCharSet;
    d.outPrecision = kStrokePrecision;
    d.clipPrecision = kStrokeClipPrecision;
    d.quality = kDraftQuality;
    d.pitchAndFamily = face.fixedPitch ? kFixedPitch : kVariablePitch;
    const auto length = std::min<qsizetype>(family.name.size(), d.faceName.size() - 1);
    std::copy_n(family.name.utf16(), length, d.faceName.begin());
    out.styleName = regular ? u"Regular" : face.style.toStdU16String();
    out.fontType = FontTypeOf(family);
    return out;
}

// A face name in a description holds at most 31 units, so a longer
// family's name arrives cut short.
bool NamesFamily(const std::u16string& name, const Family& family)
{
    const QString asked = QString::fromStdU16String(name);
    return family.name == asked || (asked.size() == 31 && family.name.startsWith(asked));
}

bool CoversJapanese(const QString& family)
{
    Owned<FcPattern> pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.toUtf8().constData()));
    FcLangSet* japanese = FcLangSetCreate();
    FcLangSetAdd(japanese, reinterpret_cast<const FcChar8*>("ja"));
    FcPatternAddLangSet(pattern.get(), FC_LANG, japanese);
    FcLangSetDestroy(japanese);
    Owned<FcObjectSet> objects(FcObjectSetBuild(FC_FAMILY, nullptr));
    Owned<FcFontSet> fonts(FcFontList(nullptr, pattern.get(), objects.get()));
    return fonts && fonts->nfont > 0;
}

// The family fontconfig gives Japanese sans-serif text.
QString JapaneseSansFamily()
{
    Owned<FcPattern> pattern(FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif:lang=ja")));
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    Owned<FcPattern> match(FcFontMatch(nullptr, pattern.get(), &result));
    return match ? StringOf(match.get(), FC_FAMILY) : QString();
}

}  // namespace

QFont DialogFont(const std::u16string& face, int points)
{
    QFont font = QApplication::font();
    if (face != u"System") {
        font.setFamily(QString::fromStdU16String(face));
        font.setPointSize(points);
        return font;
    }
    // Labels in Japanese need a face that has its glyphs: one that lends
    // them to another is taller than the lines laid out for it.
    if (!CoversJapanese(QFontInfo(font).family())) {
        const QString japanese = QString::fromStdU16String(JapaneseFontFamily());
        if (!japanese.isEmpty()) font.setFamilies({japanese});
    }
    return font;
}

}  // namespace platform::qt

namespace platform {
using namespace platform::qt;

bool FontFamilyHasJapanese(const std::u16string& family) { return CoversJapanese(QString::fromStdU16String(family)); }

// fontconfig gives Japanese text a family even where none has its glyphs.
std::u16string JapaneseFontFamily()
{
    const QString family = JapaneseSansFamily();
    return !family.isEmpty() && CoversJapanese(family) ? family.toStdU16String() : std::u16string();
}

void EnumerateFontFamilies(const FontFaceVisitor& visit)
{
    for (const Family& family : ListFamilies()) {
        const std::vector<Face> styles = StylesOf(family);
        if (styles.empty()) continue;
        const std::optional<std::size_t> regular = RegularFaceOf(styles);
        if (!visit(Describe(family, styles[regular.value_or(0)], regular.has_value()))) return;
    }
}

void EnumerateFontStyles(const std::u16string& name, const FontFaceVisitor& visit)
{
    // A name cut short by the description's 31 units is looked for among all.
    const QString asked = QString::fromStdU16String(name);
    std::vector<Family> families = ListFamilies(asked);
    if (families.empty() && asked.size() == 31)
        families = ListFamilies();
    for (const Family& family : families) {
        if (!NamesFamily(name, family)) continue;
        const std::vector<Face> styles = StylesOf(family);
        const std::optional<std::size_t> regular = RegularFaceOf(styles);
        // The regular style first, then the others in the desktop's order.
        if (regular && !visit(Describe(family, styles[*regular], true))) return;
        for (std::size_t i = 0; i < styles.size(); ++i)
            if (i != regular && !visit(Describe(family, styles[i], false))) return;
        return;
    }
}

}  // namespace platform

// The font selection dialog. The dialog edits a working copy of a font
// description that its caller passes as the creation parameter; only OK
// copies the choice over it.
//
// OK applies only a whole choice: a family with a regular style, a weight
// and a size. Until the three lists hold one, the sample stays empty and the
// OK button is grey, and OK leaves the description as it was: a list can
// start without a selection (a face that is not installed, a size or weight
// outside the lists), and there is nothing sound to copy then.
#include "dialogs/font_dialog.h"

#include <charconv>
#include <cstdlib>

#include "dialogs/shell_open.h"
#include "dialogs/templates.h"
#include "platform/dialog_box.h"
#include "platform/draw.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/window.h"
#include "store/records.h"

platform::FontDescription* fontDialogTarget = nullptr;

namespace {

using platform::FontDescription;
using platform::WindowHandle;

constexpr char16_t kSampleText[] = u"Sample 付箋紙";
constexpr std::int32_t kSmallestSize = 10;
constexpr std::int32_t kLargestSize = 35;
constexpr std::int32_t kHeaviestWeightStep = 9;  // 900
// A list item's number is read from at most 10 bytes, terminator included.
constexpr std::size_t kNumberBytes = 9;
constexpr std::size_t kFaceUnits = 31;

struct FaceListContext {
    WindowHandle dialog = 0;
    int list = 0;
    int count = 0;
};

// Adds a scalable family that is not a vertical-writing one ("@...").
bool AddFaceName(const platform::FontFace& face, FaceListContext& context)
{
    const std::u16string name = FieldText(face.description.faceName);
    if (!(face.fontType & platform::fonttype::TrueType) || name.empty() || name.front() == u'@') return true;
    if (platform::AddListItem(context.dialog, context.list, name) >= 0) ++context.count;
    return true;
}

// Takes the description of the family's regular style and ends the search.
bool PickRegularStyle(const platform::FontFace& face, FontDescription& regular)
{
    if (face.styleName != u"Regular" && face.styleName != u"標準") return true;
    regular = face.description;
    return false;
}

void PostPreview(WindowHandle dialog)
{
    platform::PostWindowMessage(dialog, platform::wm::Command, CMD_FONT_PREVIEW, 0);
}

// The description the dialog's lists and italic box make up, from the
// regular style of the chosen family; none while the choice is not whole.
std::optional<FontDescription> ChosenFont(WindowHandle dialog)
{
    const std::optional<std::int32_t> size = GetListNumber(dialog, IDC_FONT_SIZE);
    const std::optional<std::int32_t> weight = GetListNumber(dialog, IDC_FONT_WEIGHT);
    const platform::FontHandle regular = CreateRegularFont(dialog, IDC_FONT_FACE);
    if (regular == 0) return std::nullopt;
    FontDescription chosen;
    const bool described = platform::DescribeFontObject(regular, chosen);
    platform::DeleteFontObject(regular);
    if (!described || !size || !weight || *size < kSmallestSize || *size > kLargestSize) return std::nullopt;
    chosen.weight = *weight;
    chosen.height = -*size;
    chosen.width = 0;
    chosen.italic = platform::GetControlCheck(dialog, IDC_FONT_ITALIC) != 0 ? 1 : 0;
    return chosen;
}

// The sample line, centred in the sample's area, in a font made from the
// description.
void DrawSampleText(const platform::ControlPaint& paint, const FontDescription& description)
{
    const platform::FontHandle font = platform::CreateFontObject(description);
    const platform::TextSize size = platform::MeasureText(font, kSampleText);
    platform::Rect area = paint.client;
    if (area.Height() > size.height) area.top = (area.bottom - size.height - area.top) / 2;
    area.left += (area.Width() - size.width) / 2;
    area.right = area.left + size.width;
    platform::DrawTextInRect(paint.context, kSampleText, area, paint.text, font);
    platform::DeleteFontObject(font);
}

// Repaints the sample from the current choice, or leaves it empty; OK is
// offered exactly while there is a sample to see.
void DrawFontSample(WindowHandle dialog)
{
    const std::optional<FontDescription> chosen = ChosenFont(dialog);
    platform::EnableControl(dialog, platform::id::Ok, chosen.has_value());
    const platform::ControlPaint paint = platform::BeginControlPaint(dialog, IDC_FONT_SAMPLE);
    if (paint.context == 0) return;
    platform::FillSolidRect(paint.context, paint.client, paint.background);
    if (chosen) DrawSampleText(paint, *chosen);
    platform::EndControlPaint(paint);
}

void AcceptFont(WindowHandle dialog)
{
    const std::optional<FontDescription> chosen = ChosenFont(dialog);
    if (!chosen || fontDialogTarget == nullptr) return;
    *fontDialogTarget = *chosen;
    platform::EndModalDialog(dialog, platform::id::Ok);
}

platform::LResult OnFontDialogInit(WindowHandle dialog, FontDescription* description)
{
    fontDialogTarget = description;
    if (description == nullptr) return 1;
    // Widened first: the height of the most negative description has no
    // positive counterpart in 32 bits.
    const std::int64_t size = std::llabs(static_cast<std::int64_t>(description->height));
    CentreDialog(dialog);
    platform::SetControlCheck(dialog, IDC_FONT_ITALIC, description->italic != 0 ? 1 : 0);
    for (const int list : {IDC_FONT_FACE, IDC_FONT_WEIGHT, IDC_FONT_SIZE}) platform::ClearList(dialog, list);
    FillSizeList(dialog, IDC_FONT_SIZE, size);
    FillWeightList(dialog, IDC_FONT_WEIGHT, description->weight);
    FillFaceList(dialog, IDC_FONT_FACE, FieldText(description->faceName));
    // Through the family list's own report, so that the sample is drawn once
    // the dialog is on the screen.
    platform::PostWindowMessage(dialog, platform::wm::Command, IDC_FONT_FACE, 0);
    return 1;
}

platform::LResult OnFontCommand(WindowHandle dialog, int id)
{
    switch (id) {
    case platform::id::Ok: AcceptFont(dialog); return 1;
    case platform::id::Cancel: platform::EndModalDialog(dialog, platform::id::Cancel); return 1;
    case IDC_FONT_FACE:
    case IDC_FONT_SIZE:
    case IDC_FONT_WEIGHT:
    case IDC_FONT_ITALIC: PostPreview(dialog); return 1;
    case CMD_FONT_PREVIEW: DrawFontSample(dialog); return 1;
    default: return 0;
    }
}

}  // namespace

int RunFontDialog(FontDescription& font)
{
    const int result = RunDialogTemplate(kFontDialog, FontDialogProc, reinterpret_cast<platform::LParam>(&font));
    fontDialogTarget = nullptr;
    return result;
}

platform::LResult FontDialogProc(WindowHandle dialog, std::uint32_t message, platform::WParam wParam,
                                 platform::LParam lParam)
{
    switch (message) {
    case platform::wm::InitDialog: return OnFontDialogInit(dialog, reinterpret_cast<FontDescription*>(lParam));
    case platform::wm::Command: return OnFontCommand(dialog, static_cast<int>(platform::LowWord(wParam)));
    default: return 0;
    }
}

void FillFaceList(WindowHandle dialog, int list, const std::u16string& face)
{
    FaceListContext context{dialog, list, 0};
    platform::EnumerateFontFamilies([&context](const platform::FontFace& f) { return AddFaceName(f, context); });
    for (int i = 0; i < context.count; ++i) {
        if (platform::GetListItem(dialog, list, i) == face) {
            platform::SetListSelection(dialog, list, i);
            return;
        }
    }
}

void FillWeightList(WindowHandle dialog, int list, std::int32_t weight)
{
    for (int step = 0; step <= kHeaviestWeightStep; ++step)
        platform::AddListItem(dialog, list, platform::FromUtf8(std::to_string(step * 100)));
    // Divided toward zero, so a slightly negative weight still reads as 0.
    const std::int32_t step = weight / 100;
    if (step >= 0 && step <= kHeaviestWeightStep) platform::SetListSelection(dialog, list, step);
}

void FillSizeList(WindowHandle dialog, int list, std::int64_t size)
{
    for (int n = kSmallestSize; n <= kLargestSize; ++n)
        platform::AddListItem(dialog, list, platform::FromUtf8(std::to_string(n)));
    if (size >= kSmallestSize && size <= kLargestSize)
        platform::SetListSelection(dialog, list, static_cast<int>(size - kSmallestSize));
}

std::optional<std::int32_t> GetListNumber(WindowHandle dialog, int list)
{
    const int selected = platform::GetListSelection(dialog, list);
    const std::optional<std::u16string> text = platform::GetListItem(dialog, list, selected);
    if (selected < 0 || !text) return std::nullopt;
    const std::string bytes = platform::ToMultiByte(*text).substr(0, kNumberBytes);
    std::int32_t number = 0;
    std::from_chars(bytes.data(), bytes.data() + bytes.size(), number);
    return number;
}

platform::FontHandle CreateRegularFont(WindowHandle dialog, int list)
{
    const std::optional<std::u16string> face =
        platform::GetListItem(dialog, list, platform::GetListSelection(dialog, list));
    if (!face) return 0;
    FontDescription regular;
    platform::EnumerateFontStyles(face->substr(0, kFaceUnits),
                                  [&regular](const platform::FontFace& f) { return PickRegularStyle(f, regular); });
    if (regular.faceName[0] == 0) return 0;
    return platform::CreateFontObject(regular);
}

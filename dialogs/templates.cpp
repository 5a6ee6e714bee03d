// The dialog templates as data: caption, font, place and size, and per
// control its id, class, text, style and rectangle (x, y, width, height in
// dialog units), in the order the controls are made, which is also the
// order the Tab key walks them.
#include "dialogs/templates.h"

#include "platform/shell.h"
#include "platform/system.h"

namespace {

using platform::ControlClass;
using platform::DialogItem;
using platform::DialogTemplate;
namespace ws = platform::ws;
namespace bs = platform::bs;
namespace ss = platform::ss;
namespace es = platform::es;

// Every dialog: a caption with a close box, a modal frame, its own font.
constexpr std::uint32_t kDialogStyle = ws::Caption | ws::SysMenu | platform::ds::ModalFrame | platform::ds::SetFont;
constexpr std::uint32_t kShown = ws::Child | ws::Visible;
constexpr std::uint32_t kLabel = kShown | ss::Left;

DialogItem Item(int id, ControlClass kind, std::u16string text, std::uint32_t style, platform::DialogRect rect)
{
    return DialogItem{id, kind, std::move(text), style, rect, 0};
}

DialogItem ProgramIcon(platform::DialogRect rect)
{
    return DialogItem{IDC_PROGRAM_ICON, ControlClass::Static, u"", kShown | ss::Icon, rect, platform::kProgramIcon};
}

// The program has no mail address or web page of its own: the mail button
// says so (and is greyed), the web button names the help page it opens.
DialogTemplate AboutTemplate()
{
    constexpr std::uint32_t kFirstButton = kShown | ws::Group | ws::TabStop;
    return DialogTemplate{
        u"ﾊﾞｰｼﾞｮﾝ情報", u"System", 8, kDialogStyle, {22, 17, 182, 82},
        {
            Item(platform::id::Ok, ControlClass::Button, u"OK", kFirstButton | bs::DefPushButton, {142, 4, 35, 11}),
            Item(IDC_ABOUT_MAIL, ControlClass::Button, u"(なし)", kFirstButton | bs::PushButton, {39, 54, 137, 11}),
            Item(IDC_ABOUT_WEB, ControlClass::Button, u"ヘルプ (CeVelmo.htm)", kFirstButton | bs::PushButton,
                 {39, 66, 137, 11}),
            ProgramIcon({7, 6, 20, 20}),
            Item(-1, ControlClass::Static, u"付箋紙  CeVelmo", kLabel | ss::NoPrefix, {43, 12, 69, 8}),
            Item(-1, ControlClass::Static, u"CeVelmo for Linux desktops  Version", kShown | ss::Right | ss::NoPrefix,
                 {33, 27, 110, 8}),
            Item(IDC_ABOUT_VERSION, ControlClass::Static, u"", kLabel, {147, 27, 25, 8}),
            Item(-1, ControlClass::Static, u"© 2026 The CeVelmo Project", kShown | ss::Right, {32, 40, 125, 8}),
            Item(-1, ControlClass::Static, u"E-mail", kShown | ss::Right, {12, 56, 23, 8}),
            Item(-1, ControlClass::Static, u"URL", kShown | ss::Right, {16, 68, 19, 8}),
        }};
}

// The radio buttons are ticked by the dialog's procedure only; the first of
// each set starts a group.
DialogTemplate SettingsTemplate()
{
    constexpr std::uint32_t kCheckBox = kShown | ws::TabStop | bs::AutoCheckBox;
    constexpr std::uint32_t kRadio = kShown | ws::TabStop | bs::RadioButton;
    return DialogTemplate{
        u"SETTING", u"System", 8, kDialogStyle, {22, 17, 252, 105},
        {
            ProgramIcon({7, 7, 20, 20}),
            Item(-1, ControlClass::Static, u"■ショートカットの作成", kLabel, {37, 8, 86, 8}),
            Item(IDC_SHORTCUT_DESKTOP, ControlClass::Button, u"デスクトップにショートカットを作成する", kCheckBox,
                 {45, 18, 140, 10}),
            Item(IDC_SHORTCUT_STARTUP, ControlClass::Button, u"スタートアップにショートカットを作成する", kCheckBox,
                 {45, 29, 140, 10}),
            Item(-1, ControlClass::Static, u"■書き込みモードとの切り替え方法", kLabel, {37, 42, 120, 8}),
            Item(IDC_GESTURE_CTRL_DOUBLE_CLICK, ControlClass::Button, u"Ctrl Key ＋ ダブルタップ", kRadio | ws::Group,
                 {45, 52, 97, 10}),
            Item(IDC_GESTURE_DOUBLE_CLICK, ControlClass::Button, u"ダブルタップ", kRadio, {45, 63, 64, 10}),
            Item(-1, ControlClass::Static, u"■書き込み時入力方法", kLabel, {162, 42, 86, 8}),
            Item(IDC_INPUT_ROMAJI, ControlClass::Button, u"ローマ字入力", kRadio | ws::Group, {169, 52, 64, 10}),
            Item(IDC_INPUT_KANA, ControlClass::Button, u"かな入力", kRadio, {169, 63, 64, 10}),
            Item(IDC_INPUT_DIRECT, ControlClass::Button, u"直接入力", kRadio, {169, 74, 64, 10}),
            Item(-1, ControlClass::Static, u"■ホットキーの設定", kLabel, {37, 78, 86, 8}),
            Item(IDC_HOTKEY_ALT, ControlClass::Button, u"ALT +", kCheckBox | ws::Group, {54, 89, 34, 10}),
            Item(IDC_HOTKEY_CTRL, ControlClass::Button, u"CTRL +", kCheckBox, {92, 89, 39, 10}),
            Item(IDC_HOTKEY_SHIFT, ControlClass::Button, u"SHIFT +", kCheckBox, {134, 89, 41, 10}),
            Item(IDC_HOTKEY_KEY, ControlClass::Edit, u"", kShown | ws::Border | ws::TabStop | es::AutoHScroll,
                 {180, 88, 14, 12}),
            Item(platform::id::Ok, ControlClass::Button, u"OK", kShown | ws::TabStop | bs::DefPushButton,
                 {203, 5, 42, 13}),
        }};
}

// The styles are the template's own numbers. The dialog's size leaves the
// same margins below and to the right of the controls as above and to
// their left.
DialogTemplate FontTemplate()
{
    return DialogTemplate{
        u"フォント選択", u"System", 8, 0x00C800C0, {22, 17, 251, 116},
        {
            Item(IDC_FONT_FACE, ControlClass::ListBox, u"", 0x50A10103, {10, 18, 77, 60}),
            Item(IDC_FONT_WEIGHT, ControlClass::ListBox, u"", 0x50A10101, {94, 18, 48, 60}),
            Item(IDC_FONT_SIZE, ControlClass::ListBox, u"", 0x50A10101, {149, 18, 48, 60}),
            Item(platform::id::Ok, ControlClass::Button, u"OK", 0x50010001, {206, 6, 35, 11}),
            Item(platform::id::Cancel, ControlClass::Button, u"Cancel", 0x50010000, {206, 22, 35, 11}),
            Item(IDC_FONT_ITALIC, ControlClass::Button, u"ITALIC", 0x50010003, {205, 69, 39, 10}),
            Item(IDC_FONT_SAMPLE, ControlClass::Edit, u"", 0x50800801, {10, 83, 231, 26}),
            Item(-1, ControlClass::Static, u"フォント名", 0x50020081, {12, 6, 64, 8}),
            Item(-1, ControlClass::Static, u"太さ", 0x50020001, {94, 6, 40, 8}),
            Item(-1, ControlClass::Static, u"サイズ", 0x50020001, {149, 6, 40, 8}),
            DialogItem{IDC_PROGRAM_ICON, ControlClass::Static, u"", 0x50000003, {213, 42, 20, 20},
                       platform::kProgramIcon},
        }};
}

}  // namespace

const platform::DialogTemplate* FindDialogTemplate(int resourceId)
{
    static const DialogTemplate about = AboutTemplate();
    static const DialogTemplate settings = SettingsTemplate();
    static const DialogTemplate font = FontTemplate();
    switch (resourceId) {
    case kAboutDialog: return &about;
    case kSettingsDialog: return &settings;
    case kFontDialog: return &font;
    default: return nullptr;
    }
}

int RunDialogTemplate(int resourceId, platform::WindowProcFn procedure, platform::LParam parameter)
{
    const platform::DialogTemplate* dialog = FindDialogTemplate(resourceId);
    if (dialog == nullptr) return 0;
    const int result = platform::RunModalDialog(*dialog, procedure, parameter);
    return result < 0 ? 0 : result;
}

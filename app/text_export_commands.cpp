// The export and import commands: a note's text to and from a text file
// that the user picks in the desktop's file dialogs. dialogBusy is set while
// any of their dialogs or questions is open, so that no menu opens over them.
// The file work itself is the store's.
#include "app/text_export_commands.h"

#include <new>

#include "note/painting.h"
#include "platform/dialogs.h"
#include "platform/memory.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/window.h"
#include "store/app_state.h"
#include "store/data_file.h"
#include "store/paths.h"
#include "store/text_files.h"

namespace {

constexpr std::uint32_t kReplaceQuestion =
    platform::mb::YesNo | platform::mb::IconQuestion | platform::mb::SetForeground;

// The user's documents folder, or the program's folder when there is none.
std::u16string StartFolder()
{
    const std::optional<std::u16string> documents = platform::GetSpecialFolderPath(platform::csidl::Personal);
    return documents && !documents->empty() ? *documents : appFolder;
}

platform::FileDialogRequest TextFileRequest(const std::u16string& folder, const std::u16string& title,
                                            std::uint32_t flags)
{
    platform::FileDialogRequest request;
    request.filters = {{u"テキストファイル(*.txt)", u"*.txt"}};
    request.filterIndex = 1;
    request.initialFolder = folder;
    request.title = title;
    request.defaultExtension = u"txt";
    request.flags = flags;
    return request;
}

bool TakeChoice(const platform::FileDialogRequest& request, bool chosen, std::u16string& path,
                std::u16string& title)
{
    if (!chosen) return false;
    path = request.path;
    title = request.fileTitle;
    return true;
}

bool ConfirmReplace(const std::u16string& title)
{
    const std::u16string text = title + u"\nこのファイルは すでに存在します。\n\n上書きしますか？";
    return platform::ShowMessageBox(text, kBoxCaption, kReplaceQuestion) == platform::id::Yes;
}

// Takes the chosen file's text into the note. The file is read before the
// note's own file is deleted, so importing the note's own file keeps it, and
// a file that cannot be read changes nothing.
void TakeFileText(platform::WindowHandle window, const std::u16string& path)
{
    NoteRecord* note = FindNote(window);
    if (note == nullptr) return;
    std::optional<std::u16string> text = ReadTextFile(path);
    if (!text) return;
    // No room to show it is the command's to tell.
    if (!platform::HasRoomToLayOut(*text)) throw std::bad_alloc();
    ReplaceNoteText(*note, std::move(text));
    RepaintNote(window);
    SaveDataFileAfter(SaveTrigger::Import);
}

}  // namespace

bool ShowSaveDialog(const std::u16string& folder, std::u16string& path, std::u16string& title)
{
    platform::FileDialogRequest request =
        TextFileRequest(folder, u" 名前を付けて保存", platform::ofn::PathMustExist | platform::ofn::HideReadOnly);
    return TakeChoice(request, platform::ShowSaveFileDialog(request), path, title);
}

bool ShowOpenDialog(const std::u16string& folder, std::u16string& path, std::u16string& title)
{
    platform::FileDialogRequest request =
        TextFileRequest(folder, u" ファイルを選択",
                        platform::ofn::FileMustExist | platform::ofn::PathMustExist | platform::ofn::HideReadOnly);
    return TakeChoice(request, platform::ShowOpenFileDialog(request), path, title);
}

void ExportNoteText(platform::WindowHandle window, platform::LParam)
{
    const std::u16string folder = StartFolder();
    std::u16string path, title;
    const BusyGuard busy(dialogBusy);
    if (ShowSaveDialog(folder, path, title) && (!IsExistingFile(path) || ConfirmReplace(title))) {
        // The note may have gone while the dialog was open.
        if (const NoteRecord* note = FindNote(window)) WriteTextFile(path, note->text.value_or(u""));
    }
}

void ImportNoteText(platform::WindowHandle window, platform::LParam)
{
    const std::u16string folder = StartFolder();
    std::u16string path, title;
    const BusyGuard busy(dialogBusy);
    if (ShowOpenDialog(folder, path, title) && GetFileLength(path) != 0) TakeFileText(window, path);
}

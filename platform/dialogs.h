// The desktop's common dialogs: the colour chooser and the file open and
// save-as dialogs. Each is modal: a nested message loop runs while it is
// open, and it returns when the user closes it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Colour chooser request. `customColors` points at 16 colours that the
// chooser offers and writes back when the user changes them (also when the
// chooser is then cancelled). Colours are 0x00BBGGRR.
namespace cc {
inline constexpr std::uint32_t RgbInit = 0x1;  // open with `color` selected
}  // namespace cc
inline constexpr int kCustomColorCount = 16;
struct ColorRequest {
    std::uint32_t color = 0;  // in: the initial colour; out: the chosen one
    std::uint32_t* customColors = nullptr;
    std::uint32_t flags = 0;  // cc::
};

// True when the user chose a colour (then in request.color).
bool ChooseColorDialog(ColorRequest& request);

// File dialog options.
namespace ofn {
inline constexpr std::uint32_t HideReadOnly = 0x4;
inline constexpr std::uint32_t PathMustExist = 0x800;
inline constexpr std::uint32_t FileMustExist = 0x1000;
}  // namespace ofn

struct FileFilter {
    std::u16string description;  // e.g. "テキストファイル(*.txt)"
    std::u16string pattern;      // e.g. "*.txt"
};

struct FileDialogRequest {
    std::vector<FileFilter> filters;
    int filterIndex = 1;  // counted from 1
    std::u16string initialFolder;
    std::u16string title;
    std::u16string defaultExtension;  // added to a chosen name without one
    std::uint32_t flags = 0;          // ofn::
    // Out: the chosen file's full path and its bare name.
    std::u16string path;
    std::u16string fileTitle;
};

// The save-as dialog never asks whether to replace an existing file: the
// program asks that itself. Both return false when the user cancels.
bool ShowSaveFileDialog(FileDialogRequest& request);
bool ShowOpenFileDialog(FileDialogRequest& request);

}  // namespace platform

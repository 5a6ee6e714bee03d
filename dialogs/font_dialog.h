// The font selection dialog: a scalable family (its regular style), a
// weight from 0 to 900, a size from 10 to 35 pixels and italic, with a live
// sample in the chosen font.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/font.h"
#include "platform/types.h"

// The description being edited while the dialog is open; one font dialog
// exists at a time.
extern platform::FontDescription* fontDialogTarget;

// Runs the dialog on a description; 1 when the user confirmed (the
// description then holds the choice), 2 when cancelled, 0 when it did not
// open. Cancelled or not opened, the description is untouched.
int RunFontDialog(platform::FontDescription& font);

platform::LResult FontDialogProc(platform::WindowHandle dialog, std::uint32_t message, platform::WParam wParam,
                                 platform::LParam lParam);

// Fills a list and selects the item that stands for the value, if any: the
// scalable families but the vertical-writing "@" ones (sorted), the weights
// 0 to 900 and the sizes 10 to 35.
void FillFaceList(platform::WindowHandle dialog, int list, const std::u16string& face);
void FillWeightList(platform::WindowHandle dialog, int list, std::int32_t weight);
void FillSizeList(platform::WindowHandle dialog, int list, std::int64_t size);

// The number the selected item of a list reads as; none without a selection.
std::optional<std::int32_t> GetListNumber(platform::WindowHandle dialog, int list);

// A font object from the regular style of the family selected in the list;
// 0 when none is selected or the family has no regular style.
platform::FontHandle CreateRegularFont(platform::WindowHandle dialog, int list);

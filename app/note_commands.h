// The work of the commands that act on one note (peel-off, colours, font,
// editing, clipboard, sizing). Each takes the note's window and the
// command's origin (1: a menu); the dispatch runs them only for live notes.
#pragma once

#include "platform/types.h"

void PeelNoteLogged(platform::WindowHandle note, platform::LParam origin);
void PeelNote(platform::WindowHandle note, platform::LParam origin);
void ChooseTextColour(platform::WindowHandle note, platform::LParam origin);
void ChooseBackColour(platform::WindowHandle note, platform::LParam origin);
void ChooseNoteFont(platform::WindowHandle note, platform::LParam origin);
void EditDirect(platform::WindowHandle note, platform::LParam origin);
void CutNote(platform::WindowHandle note, platform::LParam origin);
void CopyNote(platform::WindowHandle note, platform::LParam origin);
void PasteNote(platform::WindowHandle note, platform::LParam origin);
void AutoSizeNote(platform::WindowHandle note, platform::LParam origin);

#pragma once
#include "platform/window.h"

namespace kt {

struct Desktop;

// A command from the menu, a key or the program itself.
void maincommand(Desktop& d, HWND hWnd, UINT id);

// The menu as it is while rendering runs (only Render / Pause / Resume
// available) or while paused.
void setmenustate(const Desktop& d, HWND hWnd, bool rendering);
// Undo and Redo available while paused only when there is a step to take.
void setundostate(const Desktop& d, HWND hWnd);

// What the palette open command and a dropped palette do with the chosen file
// (filenames.file): a preview, and the question whether to use it.
enum class PaletteOffer { unreadable, declined, accepted };
PaletteOffer offerpalettefile(Desktop& d, HWND hWnd);
// What the parameter open command and a dropped parameter file do with the
// chosen file (filenames.odv3file): load it and render it, or say why not.
void loadchosen(Desktop& d, HWND hWnd);

} // namespace kt

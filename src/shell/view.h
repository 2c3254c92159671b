#pragma once
// The view: the off-screen image the picture lives in, and the main window's
// scrollable view onto it.
#include "engine/enginestate.h"
#include "platform/window.h"
#include "shell/shellstate.h"

namespace kt {

struct Desktop;

// Gives the engine its off-screen image (res x res, black) and the palette-preview save
// buffer. On failure reports it and posts WM_DESTROY: false.
bool createviewbuffers(Desktop& d, HWND hWnd);
// A new off-screen image at the current res. When it cannot be had, reports
// it, puts res back and keeps the old image: false.
bool rebuildoffscreen(EngineState& s, HWND hWnd, int previousres);
void releaseviewbuffers(Desktop& d);

// What the window shows: a mouse turn's or zoom's preview while there is
// one, else the render's image.
Surface* shownimage(const Desktop& d);
void onsize(Desktop& d, HWND hWnd, int width, int height);
void onpaint(const Desktop& d, HWND hWnd);
void onscroll(ShellState& shell, HWND hWnd, int bar, int request, int position);
// Page keys, Home / End and the arrows move the view as its scroll bar
// would: an arrow, like a bar's arrow button, a tenth of the window.
void onkeydown(HWND hWnd, int key);

} // namespace kt

#pragma once
// The view: the off-screen image the picture lives in, and the main window's
// scrollable view onto it.
#include "platform/window.h"

namespace kt {

// Gives the engine its off-screen image (res x res, black) and the palette-preview save
// buffer. On failure reports it and posts WM_DESTROY: false.
bool createviewbuffers(HWND hWnd);
// A new off-screen image at the current res. When it cannot be had, reports
// it, puts res back and keeps the old image: false.
bool rebuildoffscreen(HWND hWnd, int previousres);
void releaseviewbuffers();

void onsize(HWND hWnd, int width, int height);
void onpaint(HWND hWnd);
void onscroll(HWND hWnd, int bar, int request, int position);
void onkeydown(HWND hWnd, int key);

} // namespace kt

#pragma once
// Start-up, the window classes, the main window and the message loop.
#include <string>

#include "engine/enginestate.h"
#include "platform/window.h"

namespace kt {

struct Desktop;

// Returns the process exit code. lpszArgs is the command-line argument: a
// parameter file to load before the first picture. The program runs on `d`,
// which its main window keeps and which must outlast the window.
int WinMain(Desktop& d, HINSTANCE hInstance, HINSTANCE hPrevInst, const char* lpszArgs, int nCmdShow);

// 0, or 1 / 2 when the main / popup class cannot be registered.
int InitWindowClass(Desktop& d, HINSTANCE hInstance);
// 0, 3 when the main window cannot be created, 4 for a display of fewer than
// 24 bits per pixel.
int CreateMainWindow(Desktop& d, HINSTANCE hInstance, int nCmdShow);
int initgraphics(EngineState& s, HWND hWnd);
// Runs until the quit message; one render batch after every message while
// rendering runs. Returns the quit message's code.
unsigned ProgramDriver(Desktop& d);

// The parameter file named by a command-line argument: without the double
// quotes that enclose it, if any; empty when it is too long to be a path the
// program keeps (259 characters).
std::string commandlinepath(const std::string& argument);

} // namespace kt

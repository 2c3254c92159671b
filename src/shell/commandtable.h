#pragma once
// Every command of the desktop program in one table: its id, its place and
// label in the menu, its key, when it may run and what runs it. The menu, the
// accelerators, the menu's enabled state and the dispatch are all made from
// it. (The recent files' entries are made as files are opened; see
// recentfiles.h.)
#include <span>

#include "platform/window.h"

namespace kt {

struct Desktop;

enum class Runs {
    always,                    // rendering or paused
    paused,                    // only while paused
    pausedcolouringbyhitcount, // only while paused and colouring by hit count
};

struct CommandEntry {
    UINT id;
    const char* popup;    // the menu bar's popup it sits in; nullptr: a key alone
    const char* submenu;  // a popup within that popup, or nullptr
    bool separatorbefore; // a separator above it (above its submenu, for a submenu's first)
    const char* label;
    bool checked;  // how the menu starts
    UINT keyflags; // FVIRTKEY with FALT or FCONTROL; 0: no key
    WORD key;
    Runs runs;
    // Filters need hit counts of the picture's size: without them the command
    // does nothing.
    bool needshitcounts;
    void (*run)(Desktop& d, HWND hWnd, UINT id);
    // It may change the picture or its set, so Undo can give back the one
    // it replaced.
    bool undoable = false;
};

std::span<const CommandEntry> commandtable();

} // namespace kt

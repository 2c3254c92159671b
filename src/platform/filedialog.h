#pragma once
// The standard open and save dialogs.
#include <string>
#include <utility>
#include <vector>

#include "platform/window.h"

namespace kt {

constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_EXPLORER = 0x00080000;

// The file and title buffers hold at most nMaxFile - 1 characters.
struct OPENFILENAMEA {
    DWORD lStructSize = 76;
    HWND hwndOwner = nullptr;
    HINSTANCE hInstance = nullptr;
    const char* lpstrFilter = nullptr; // pairs of zero-terminated strings, closed by an extra zero
    DWORD nFilterIndex = 1;
    std::string* lpstrFile = nullptr;
    DWORD nMaxFile = 260;
    std::string* lpstrFileTitle = nullptr;
    DWORD nMaxFileTitle = 260;
    const char* lpstrInitialDir = nullptr;
    const char* lpstrTitle = nullptr;
    DWORD Flags = 0;
    const char* lpstrDefExt = nullptr;
};

struct FileDialogRequest {
    bool save = false;
    HWND owner = nullptr;
    std::string title;
    std::vector<std::pair<std::string, std::string>> filters; // description, pattern
    int filterIndex = 1;
    std::string initialPath; // the buffer's content: a path, or a folder and a pattern
    std::string defaultExtension;
    DWORD flags = 0;
};

// The filter list as pairs.
std::vector<std::pair<std::string, std::string>> splitfilters(const char* list);

// Nonzero when the user confirmed a name: the full path goes to *lpstrFile and
// the bare name to *lpstrFileTitle.
BOOL GetOpenFileNameA(OPENFILENAMEA* ofn);
BOOL GetSaveFileNameA(OPENFILENAMEA* ofn);

} // namespace kt

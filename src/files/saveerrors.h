#pragma once
// The save-failure codes shared by the image and parameter writers, and their
// texts (indexed by code - 1).
#include <cstring>
#include <string>

namespace kt {

enum SaveResult { savedone = 0, saveopenfailed = 1, savenomemory = 2, savewritefailed = 3 };

inline constexpr const char* saveerror[3] = {
    "Error opening a save file.",
    "Not enough memory to buffer image lines.",
    "Error writing to save file.",
};

inline constexpr const char* saveerrortitle = "Save file error";

// " (the system's reason)" for an errno value, "" for none: what follows a
// save error's text when the system said why.
inline std::string because(int err)
{
    return err ? std::string(" (") + std::strerror(err) + ")" : std::string();
}

} // namespace kt

#include "app/render/turntable/staleframes.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <utility>

namespace kt {

namespace {

// The frame a name is for, or 0 for a name no frame gets.
int framenumber(const std::string& name)
{
    constexpr std::size_t prefix = 6; // "frame-"
    constexpr std::size_t suffix = 4; // ".png"
    if (name.size() < prefix + 4 + suffix || name.size() > prefix + 9 + suffix)
        return 0;
    const std::string digits = name.substr(prefix, name.size() - prefix - suffix);
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    const int frame = std::stoi(digits);
    return frame > 0 && framename(frame) == name ? frame : 0;
}

} // namespace

std::string framename(int frame)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame-%04d.png", frame);
    return name;
}

std::vector<std::string> removestaleframes(const std::string& folder, int frames)
{
    std::vector<std::pair<int, std::string>> stale;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        const int frame = framenumber(name);
        if (frame > frames && entry.is_regular_file(error))
            stale.emplace_back(frame, name);
    }
    std::sort(stale.begin(), stale.end());
    std::vector<std::string> removed;
    for (const auto& [frame, name] : stale)
        if (std::filesystem::remove(std::filesystem::path(folder) / name, error))
            removed.push_back(name);
    return removed;
}

} // namespace kt

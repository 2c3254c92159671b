#pragma once
// The parameter files opened or saved last, newest first, kept across runs
// in the user's configuration folder and listed at the end of the File menu.
#include <string>
#include <vector>

#include "platform/window.h"

namespace kt {

inline constexpr std::size_t recentfilecount = 8;

// $XDG_CONFIG_HOME/ktdravune3d/recent-files, or under ~/.config without it.
std::string recentfilesstore();
// One path a line; a store that cannot be read is an empty list.
std::vector<std::string> readrecentfiles(const std::string& store);
// `path` first, without an older copy of it, at most recentfilecount long.
std::vector<std::string> withrecentfile(std::vector<std::string> list, const std::string& path);

struct Desktop;

// Reads the list and shows it in the menu.
void loadrecentfiles(Desktop& d, HWND hWnd);
// Puts a file just opened or saved at the head of the list, and keeps it.
void rememberrecentfile(Desktop& d, HWND hWnd, const std::string& path);
// Takes a file that has gone off the list, and keeps that.
void forgetrecentfile(Desktop& d, HWND hWnd, const std::string& path);

} // namespace kt

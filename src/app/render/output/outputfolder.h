#pragma once
// Why a path given as an output folder cannot be one, in words: the system's
// own error for a file or a link to nothing in its place ("File exists")
// names neither.
#include <string>

namespace kt {

// "" when `path` is a folder or nothing is there yet; otherwise what is
// there, e.g. "not a folder".
std::string whynotafolder(const std::string& path);

} // namespace kt

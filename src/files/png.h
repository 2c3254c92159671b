#pragma once
// The picture as an 8-bit RGB PNG file.
#include <string>

#include "base/surface.h"

namespace kt {

// 0 or a save-error code; the file it replaces survives any failure.
int writepng(const Surface& image, const std::string& path);

} // namespace kt

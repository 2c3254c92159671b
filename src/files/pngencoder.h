#pragma once
// The PNG writer behind writepng and writepngsamples: rows filtered on the
// worker threads in bands fixed by the picture, then deflated in one piece by
// libdeflate, so the file's bytes are the same for any number of threads.
#include <cstdint>
#include <functional>
#include <string>

namespace kt {

class RenderContext;

struct PngLayout {
    int width;
    int height;
    int depth;        // 8 or 16 bits a sample
    int channels;     // 3 (RGB) or 4 (RGBA)
    bool colourspace; // gAMA and cHRM beside sRGB, for readers that know no sRGB
};

// Fills `out` with row y's samples as the file holds them, high byte first.
// Called from any worker thread, each row once.
using PngRow = std::function<void(int y, std::uint8_t* out)>;

// 0 or a save-error code; the file it replaces survives any failure.
int writepngfile(RenderContext& ctx, const PngLayout& layout, const PngRow& row, const std::string& path);

} // namespace kt

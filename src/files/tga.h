#pragma once
// The picture as an uncompressed 24-bit Truevision TGA 2.0 file.
#include <cstdint>
#include <string>

#include "files/saveerrors.h"
#include "base/surface.h"

namespace kt {

class RenderContext;

#pragma pack(push, 1)
struct TGAHEADER {
    std::uint8_t idfield;
    std::uint8_t colormaptype;
    std::uint8_t imagetype;
    std::uint16_t colormapstart;
    std::uint16_t colormaplength;
    std::uint8_t colormapbits;
    std::uint16_t xstart;
    std::uint16_t ystart;
    std::uint16_t width;
    std::uint16_t height;
    std::uint8_t bits;
    std::uint8_t descriptor;
};

struct TGAFOOTER {
    std::uint32_t extoffset;
    std::uint32_t devdiroffset;
    char sig[18];
};
#pragma pack(pop)

static_assert(sizeof(TGAHEADER) == 18 && sizeof(TGAFOOTER) == 26);

// Writes the res x res picture of `image` to `path`: 0 or a save-error code.
// The file it replaces survives any failure.
int writetga(RenderContext& ctx, const Surface* image, int res, const std::string& path);

// The whole of `image`, of any shape.
int writetga(RenderContext& ctx, const Surface& image, const std::string& path);

} // namespace kt

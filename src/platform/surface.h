#pragma once
// A software RGB32 pixel surface. Every picture the program draws, the
// off-screen image and window client areas alike, lives in one of these, so
// the pixels are the same whatever shows them and can be read back in tests.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/wintypes.h"

namespace kt {

class Surface {
public:
    // Pixels are stored as 0xFFRRGGBB, the layout a display toolkit can show
    // without conversion. The surface starts black.
    Surface(int width, int height);

    // nullptr when the pixels cannot be allocated (or the size is not positive).
    static std::unique_ptr<Surface> create(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    const std::uint32_t* bits() const { return pixels_.data(); }
    std::uint32_t* bits() { return pixels_.data(); }

    bool contains(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < width_ && y < height_;
    }

    // Writes outside the surface are ignored, as drawing is clipped.
    void setpixel(int x, int y, COLORREF colour)
    {
        if (contains(x, y))
            pixels_[static_cast<std::size_t>(y) * width_ + x] = toNative(colour);
    }

    // CLR_INVALID outside the surface.
    COLORREF getpixel(int x, int y) const
    {
        if (!contains(x, y))
            return CLR_INVALID;
        return fromNative(pixels_[static_cast<std::size_t>(y) * width_ + x]);
    }

    // Fills [left, right) x [top, bottom), clipped to the surface.
    void fill(const RECT& area, COLORREF colour);

    // Copies a w x h block from (sx, sy) of src to (dx, dy) here; the block is
    // clipped to both surfaces, and parts outside the source are left alone.
    void blit(int dx, int dy, int w, int h, const Surface& src, int sx, int sy);

    static constexpr std::uint32_t toNative(COLORREF c)
    {
        return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
    }
    static constexpr COLORREF fromNative(std::uint32_t p)
    {
        return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
    }

private:
    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_;
};

} // namespace kt

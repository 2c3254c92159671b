#pragma once
// A software RGB32 pixel surface. Every picture the program draws, the
// off-screen image and window client areas alike, lives in one of these, so
// the pixels are the same whatever shows them and can be read back in tests.
#include <cstdint>
#include <memory>
#include <vector>

#include "base/colour.h"
#include "base/memory.h"

namespace kt {

// Aligned to a cache line, so that surfaces drawn on by different threads
// never share one (each drawing call counts a change in the object).
class alignas(64) Surface {
public:
    // Pixels are stored as 0xFFRRGGBB, the layout a display toolkit can show
    // without conversion. The surface starts black.
    Surface(int width, int height);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // nullptr when the pixels cannot be allocated (or the size is not sensible).
    static std::unique_ptr<Surface> create(int width, int height);
    // Test hook: the next `count` calls of create fail.
    static void injectcreatefailures(int count);

    int width() const { return width_; }
    int height() const { return height_; }

    // The pixels, with any pending mirror copied in first.
    const std::uint32_t* bits() const
    {
        settle();
        return pixels_.data();
    }
    std::uint32_t* bits()
    {
        settle();
        ++generation_;
        return pixels_.data();
    }

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // Writes outside the surface are ignored, as drawing is clipped.
    void setpixel(int x, int y, COLORREF colour)
    {
        if (!contains(x, y))
            return;
        settle();
        ++generation_;
        pixels_[static_cast<std::size_t>(y) * width_ + x] = toNative(colour);
    }

    // The pixels, for drawing on from several threads at once, which the
    // change counting of setpixel does not allow: whoever draws this way
    // counts the drawing afterwards, once, with markdrawn.
    std::uint32_t* drawablebits()
    {
        settle();
        return pixels_.data();
    }
    void markdrawn() { ++generation_; }

    // CLR_INVALID outside the surface.
    COLORREF getpixel(int x, int y) const
    {
        if (!contains(x, y))
            return CLR_INVALID;
        settle();
        return fromNative(pixels_[static_cast<std::size_t>(y) * width_ + x]);
    }

    // Fills [left, right) x [top, bottom), clipped to the surface.
    void fill(const RECT& area, COLORREF colour);

    // Copies a w x h block from (sx, sy) of src to (dx, dy) here; the block is
    // clipped to both surfaces, and parts outside the source are left alone.
    void blit(int dx, int dy, int w, int h, const Surface& src, int sx, int sy);

    // Like blit, but the copy is made only when these pixels are next read or
    // drawn on, and then shows the source as it is at that moment. A window
    // mirrors the off-screen image this way: rendering copies it after every
    // batch, and only the copies somebody looks at cost anything.
    void mirror(int dx, int dy, int w, int h, const Surface& src, int sx, int sy);

    // For a display, which need not copy a mirror to show it: the pixels as
    // they read now are those of ownpixels(), with the block of pendingmirror()
    // (clipped to both surfaces) shown over them straight from its source.
    struct Block {
        const Surface* source = nullptr;
        int dx = 0, dy = 0, w = 0, h = 0, sx = 0, sy = 0;
    };
    Block pendingmirror() const;
    const std::uint32_t* ownpixels() const { return pixels_.data(); }

    // What a device context keeps between drawing calls: the pen's colour,
    // the current position of line drawing and the colour of text.
    struct DrawingState {
        const void* pen = nullptr;
        COLORREF penColour = 0;
        int x = 0;
        int y = 0;
        COLORREF textColour = 0;
    };
    DrawingState& drawing() { return drawing_; }

    // A window's surface takes block copies as mirrors (see mirror).
    void setmirrorsblits(bool mirrors) { mirrorsBlits_ = mirrors; }
    bool mirrorsblits() const { return mirrorsBlits_; }

    // Changes the size; the pixels become black.
    void resize(int width, int height);

    // Counts changes, so that a display can tell when to show the pixels again.
    std::uint64_t generation() const { return generation_ + (pending_ ? pending_->source->generation_ : 0); }

    // The alpha byte every pixel holds: pixels are 0xFFRRGGBB.
    static constexpr std::uint32_t opaque = 0xFF000000u;

    static constexpr std::uint32_t toNative(COLORREF c)
    {
        return opaque | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
    }
    static constexpr COLORREF fromNative(std::uint32_t p)
    {
        return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
    }

private:
    struct PendingMirror {
        const Surface* source;
        int dx, dy, w, h, sx, sy;
    };

    void settle() const
    {
        if (pending_)
            materialize();
    }
    void materialize() const;
    void dropmirror() const;
    Block clipped(Block b) const;
    void copyblock(int dx, int dy, int w, int h, const Surface& src, int sx, int sy) const;

    int width_;
    int height_;
    mutable std::vector<std::uint32_t, LargeBlockAllocator<std::uint32_t>> pixels_;
    mutable std::unique_ptr<PendingMirror> pending_;
    mutable std::vector<const Surface*> mirroredBy_;
    mutable std::uint64_t generation_ = 0;
    bool mirrorsBlits_ = false;
    DrawingState drawing_;
};

} // namespace kt

#include "base/surface.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace kt {

Surface::Surface(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * height_, toNative(RGB(0, 0, 0)))
{
}

Surface::~Surface()
{
    // Windows that still mirror this surface take their copy now.
    while (!mirroredBy_.empty())
        mirroredBy_.back()->materialize();
    dropmirror();
}

namespace {
int pendingCreateFailures = 0;
}

void Surface::injectcreatefailures(int count)
{
    pendingCreateFailures = count;
}

std::unique_ptr<Surface> Surface::create(int width, int height)
{
    if (pendingCreateFailures > 0) {
        --pendingCreateFailures;
        return nullptr;
    }
    // Beyond a gigabyte of pixels the request is a mistake, not a picture.
    constexpr long long maxpixels = 1LL << 28;
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > maxpixels)
        return nullptr;
    try {
        return std::make_unique<Surface>(width, height);
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const std::length_error&) {
        return nullptr;
    }
}

void Surface::fill(const RECT& area, COLORREF colour)
{
    settle();
    const int left = std::max(area.left, 0);
    const int top = std::max(area.top, 0);
    const int right = std::min(area.right, width_);
    const int bottom = std::min(area.bottom, height_);
    if (left >= right || top >= bottom)
        return;
    ++generation_;
    const std::uint32_t native = toNative(colour);
    for (int y = top; y < bottom; ++y) {
        std::uint32_t* row = pixels_.data() + static_cast<std::size_t>(y) * width_;
        std::fill(row + left, row + right, native);
    }
}

Surface::Block Surface::clipped(Block b) const
{
    // Trim the block so that it lies inside both surfaces: a corner before
    // the start of one moves both corners on, and the block shrinks.
    const auto trim = [](int& corner, int& other, int& size) {
        if (corner < 0) {
            other -= corner;
            size += corner;
            corner = 0;
        }
    };
    trim(b.sx, b.dx, b.w);
    trim(b.sy, b.dy, b.h);
    trim(b.dx, b.sx, b.w);
    trim(b.dy, b.sy, b.h);
    b.w = std::max(0, std::min({b.w, b.source->width_ - b.sx, width_ - b.dx}));
    b.h = std::max(0, std::min({b.h, b.source->height_ - b.sy, height_ - b.dy}));
    return b;
}

Surface::Block Surface::pendingmirror() const
{
    if (!pending_)
        return {};
    const PendingMirror& p = *pending_;
    return clipped(Block{p.source, p.dx, p.dy, p.w, p.h, p.sx, p.sy});
}

void Surface::copyblock(int dx, int dy, int w, int h, const Surface& src, int sx, int sy) const
{
    const Block b = clipped(Block{&src, dx, dy, w, h, sx, sy});
    if (b.w <= 0 || b.h <= 0)
        return;
    ++generation_;
    // A block copied within one surface may overlap itself: walk the rows
    // away from the overlap and move each row as a whole.
    const bool upward = (&src == this) && b.dy > b.sy;
    for (int k = 0; k < b.h; ++k) {
        const int row = upward ? b.h - 1 - k : k;
        const std::uint32_t* from = src.pixels_.data() + static_cast<std::size_t>(b.sy + row) * src.width_ + b.sx;
        std::uint32_t* to = pixels_.data() + static_cast<std::size_t>(b.dy + row) * width_ + b.dx;
        std::memmove(to, from, static_cast<std::size_t>(b.w) * sizeof(std::uint32_t));
    }
}

void Surface::blit(int dx, int dy, int w, int h, const Surface& src, int sx, int sy)
{
    settle();
    src.settle();
    copyblock(dx, dy, w, h, src, sx, sy);
}

void Surface::mirror(int dx, int dy, int w, int h, const Surface& src, int sx, int sy)
{
    if (&src == this || src.pending_) {
        blit(dx, dy, w, h, src, sx, sy);
        return;
    }
    // A new mirror of the same block replaces the old one; anything else
    // settles the old one first so that the order of drawing holds.
    if (pending_) {
        const PendingMirror& p = *pending_;
        const bool same = p.source == &src && p.dx == dx && p.dy == dy && p.w == w && p.h == h && p.sx == sx &&
            p.sy == sy;
        if (same)
            return;
        materialize();
    }
    pending_ = std::make_unique<PendingMirror>(PendingMirror{&src, dx, dy, w, h, sx, sy});
    src.mirroredBy_.push_back(this);
    ++generation_;
}

void Surface::materialize() const
{
    if (!pending_)
        return;
    const PendingMirror p = *pending_;
    dropmirror();
    copyblock(p.dx, p.dy, p.w, p.h, *p.source, p.sx, p.sy);
}

void Surface::dropmirror() const
{
    if (!pending_)
        return;
    auto& list = pending_->source->mirroredBy_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    pending_.reset();
}

void Surface::resize(int width, int height)
{
    dropmirror();
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<std::size_t>(width_) * height_, toNative(RGB(0, 0, 0)));
    ++generation_;
}

} // namespace kt

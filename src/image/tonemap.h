#pragma once
// Density tone mapping: colours a picture from its hit counts by the logarithm
// of each pixel's density relative to the mean, so that it converges as steps
// grow and looks the same at any size for the same steps per pixel. A picture
// rendered at S times the side is reduced with a tent filter on the hit counts,
// which add up as light does, before the logarithm.
#include <cstdint>
#include <vector>

#include "engine/palette.h"

namespace kt {

class RenderContext;

struct ToneSettings {
    double brightness = 1.0;  // multiplies every density: more of the picture reaches the palette's top
    double gamma = 1.0;       // above 1 lifts the sparse parts
    bool transparent = false; // straight alpha instead of the background colour
};

// A square of hit counts, `side` pixels on a side, row by row; for the
// depth tone also the sums of the depths of each pixel's points, else null.
struct HitGrid {
    const float* hits;
    int side;
    const float* depths = nullptr;
};

// The output: `width` x `height` pixels centred in the square the grid makes
// at 1/supersample of its side.
struct ToneFrame {
    int width;
    int height;
    int supersample;
};

// 16 bits a channel, red, green, blue, alpha; the alpha is straight and is
// 65535 throughout an opaque picture.
struct DeepImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint16_t> rgba;
};

// Shared out on the worker threads; the same for any number of them. Empty
// (width 0) when its memory cannot be had. With the grid's depths, the depth
// tone: each pixel's colour is the palette at its points' mean depth within
// the view's depth range (near and far differ in colour), laid over the
// background as thickly as the density tone would light it (dense parts
// glow, sparse parts fade into the ground).
DeepImage tonemap(RenderContext& ctx, const HitGrid& grid, const ToneFrame& frame, const Palette& palette,
                  COLORREF back, const ToneSettings& settings);

} // namespace kt

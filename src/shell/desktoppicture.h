#pragma once
// The picture the desktop shows, as the picture model every program renders
// and records: what its exports, its fit and its records are made from.
#include <string>

#include "engine/picture.h"

namespace kt {

struct Desktop;

// The set, its turn, colouring, palette, background and side as the window
// draws them, with the steps drawn so far (the built-in count before any).
Picture desktoppicture(const Desktop& d);

// What an export adds to the shown picture: its frame, its steps per pixel,
// how it is drawn and toned. The rest is the window's picture at the time.
struct ExportSettings {
    int width = 2000, height = 2000;
    double spp = 50;
    int supersample = 2;
    int orbits = 4096;
    Tone tone = Tone::density;
    int depth = 8;
    bool transparent = false;
    bool fit = false; // else the window's scale
};

// The picture an export of the shown one with these settings renders: the
// shown picture in that frame, at that many steps.
Picture exportpicture(const Picture& shown, const ExportSettings& e);

} // namespace kt

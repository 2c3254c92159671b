#pragma once
// Everything that decides one picture, as one value: the batch renderer's
// stills, a gallery's entries, a turntable's frames and their records are all
// made from it, so a setting added here reaches every one of them.
#include <algorithm>
#include <cstdint>
#include <string>

#include "engine/enginestate.h"
#include "engine/manyorbits.h"

namespace kt {

enum class Tone { hit, density, depth };

struct Picture {
    int formula = 1; // 1 or 2
    ICON set = builtinicon1;
    VOXEL rotation = {}; // degrees about X, Y and Z
    int order = 0;       // the turns' order: XYZ, XZY, YXZ, YZX, ZXY, ZYX
    int coloring = 0;    // 0 by hit count, 1 by depth (z)
    // A built-in palette's name or a Fractint .map file.
    std::string palette = "1";
    COLORREF background = defaultback;
    // With a tone: no background of its own, laid over `background` only in
    // the .dv3.
    bool transparent = false;
    int width = 600, height = 600;
    int supersample = 1;
    std::uint64_t steps = 1000000;
    int orbits = 1; // 1: the exact orbit
    // Scale from the orbit itself, leaving `margin` of the frame on each side.
    bool fit = false;
    double margin = 0.05;
    Tone tone = Tone::hit;
    double brightness = 1.0;
    double gamma = 1.0;
    int depth = 8; // bits per sample of a toned picture
    std::string filter = "none"; // none, normalize, equalize, log or log-squared
    int nadjust = 5;

    bool operator==(const Picture&) const = default;
};

// The built-in set of formula 1 or 2 with every other setting as it starts.
Picture builtinpicture(int formula);

// The side of the square the engine renders: the frame is its centred crop.
inline int renderside(const Picture& p)
{
    return std::max(p.width, p.height) * p.supersample;
}

// The limits a picture's settings keep to.
constexpr int minside = 16;
constexpr int minsquareside = 200;
constexpr int maxside = 16384;
constexpr int maxsupersample = 8;
constexpr std::uint64_t maxsteps = 1000000000000ull;
// Above this side, and for frames that are not square, only a tone draws.
constexpr int maxhitside = 4000;

// The steps that give `spp` steps per pixel of a frame whose larger side is
// `side`, at least one and at most maxsteps.
std::uint64_t sppsteps(double spp, int side);

// "" when the picture can be drawn, else what is wrong, naming the setting.
std::string pictureproblem(const Picture& p);

const char* tonename(Tone tone);
// The turns' orders by their number.
inline constexpr const char* ordernames[] = {"XYZ", "XZY", "YXZ", "YZX", "ZXY", "ZYX"};
const char* ordername(int order); // "" for none of them
// The colourings by name: by hit count and by depth.
inline constexpr const char* coloringnames[] = {"hit", "z"};
// The filters by name, as the Render menu lists them.
inline constexpr const char* filternames[] = {"none", "normalize", "equalize", "log", "log-squared"};

// Makes `s` ready to draw `p` from its first batch: the set and its formula,
// the angles and their order, the colouring, the background, the side and
// the depth sums the tone needs. The palette is the caller's: it may come
// from a file.
void applypicture(const Picture& p, EngineState& s);

} // namespace kt

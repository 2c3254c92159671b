#pragma once
// The batch renderer's command line.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/enginestate.h"
#include "engine/manyorbits.h"
#include "engine/picture.h"
#include "engine/rotation.h"
#include "files/picturefile.h"

namespace kt {

struct RenderOptions {
    std::optional<std::string> paramfile;
    std::optional<std::string> picture; // a picture's text, which fixes every setting of the picture
    int formula = 1;
    int size = 600;
    std::optional<int> height; // --size WxH: size is the width
    std::uint64_t iterations = 1000000;
    int cmethod = 0;
    std::string palette = "1";              // a built-in palette's name (see namedpalettes) or a .map file
    std::optional<std::string> savepalette; // a .map file the palette in use is written to
    std::optional<std::array<int, 3>> background;
    std::optional<std::array<real, 3>> rotation;
    int rotationorder = 0;
    bool random = false;
    std::optional<std::uint32_t> seed;
    double fdlimit = 1.5;
    bool screen = false;
    int explore = 0;                 // entries of a gallery; 0 renders one picture
    int part = 0, parts = 0;         // --part K/N: the gallery's or turntable's K-th share of N; 0 for all
    std::string output = "icon.tga"; // the gallery's folder with --explore
    std::optional<std::string> saveparams;
    std::string filter = "none"; // none, normalize, equalize, log or log-squared
    int nadjust = 5;
    int orbits = 1;             // 1: the exact orbit; more: that many orbits in doubles
    std::optional<int> threads; // default: every processor
    int turntable = 0;          // frames of a turn; 0 for a still picture
    std::optional<Axis> spin;   // default Y
    std::optional<int> fps;     // default 30
    std::optional<int> quality; // lossy WebP; lossless without
    bool density = false;       // --tone density; hit colouring by default
    bool depthtone = false;     // --tone depth: the density tone's light, coloured by depth
    double brightness = 1.0;
    double gamma = 1.0;
    std::optional<double> spp; // steps per output pixel, instead of iterations
    int supersample = 1;
    bool fit = false;
    double margin = 0.05; // of the frame's side, on each side
    int depth = 8;
    bool transparent = false; // --background none
    bool quiet = false;
    bool help = false;
    bool version = false;
};

// The picture's width and height in pixels.
inline int framewidth(const RenderOptions& o)
{
    return o.size;
}
inline int frameheight(const RenderOptions& o)
{
    return o.height.value_or(o.size);
}
// The side of the square the engine renders: the frame is its centred crop.
inline int renderside(const RenderOptions& o)
{
    return std::max(framewidth(o), frameheight(o)) * o.supersample;
}

// A gallery's entries are many small pictures, so they default smaller.
constexpr int exploresize = 300;
constexpr std::uint64_t exploreiterations = 2000000;
constexpr int maxexplore = 1000;

enum class AnimationFormat { webp, pngfolder };

// A turntable's output: a .webp file, or a folder of PNG frames (a name
// ending in / or an existing folder); nullopt for anything else.
std::optional<AnimationFormat> animationformat(const std::string& path);

struct ParsedOptions {
    RenderOptions options;
    std::string error; // empty when the command line is sound
};

// Read through CLI11 from one table of the options; `error` is the message
// for the first thing wrong, in the order given.
ParsedOptions parserenderoptions(const std::vector<std::string>& args);

// The help, made from the same table.
std::string renderusage();

// The --tone word for the options' tone.
inline const char* tonename(const RenderOptions& o)
{
    return o.depthtone ? "depth" : (o.density ? "density" : "hit");
}

} // namespace kt

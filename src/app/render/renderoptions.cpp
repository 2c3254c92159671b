#include "app/render/renderoptions.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "engine/turntable.h"
#include "engine/workers.h"
#include "image/palettes.h"

namespace kt {

namespace {

constexpr double maxiterations = 1e12;

std::string lowercase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool parseinteger(const std::string& text, long long low, long long high, long long* value)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high)
        return false;
    *value = v;
    return true;
}

// Decimal only: strtold would also take hexadecimal, "inf" and "nan".
bool decimal(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789+-.eE") == std::string::npos;
}

bool parsereal(const std::string& text, long double low, long double high, long double* value)
{
    if (!decimal(text))
        return false;
    errno = 0;
    char* end = nullptr;
    const long double v = std::strtold(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !(v >= low && v <= high))
        return false;
    *value = v;
    return true;
}

// Whether the (lower-case) name ends in the suffix and has something before it.
bool endswith(const std::string& name, const std::string& suffix)
{
    return name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

// A whole number of steps: digits, and with a suffix a decimal point too as
// long as the suffix makes a whole number of it ("2.5k").
bool parseiterations(const std::string& text, std::uint64_t* steps)
{
    std::string number = text;
    std::size_t zeros = 0;
    if (!number.empty()) {
        switch (number.back()) {
        case 'k':
            zeros = 3;
            break;
        case 'M':
            zeros = 6;
            break;
        case 'G':
            zeros = 9;
            break;
        default:
            break;
        }
    }
    if (zeros)
        number.pop_back();
    const auto point = number.find('.');
    std::string whole = number.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : number.substr(point + 1);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (whole.empty() || fraction.size() > zeros ||
        (whole + fraction).find_first_not_of("0123456789") != std::string::npos)
        return false;
    std::string digits = whole + fraction + std::string(zeros - fraction.size(), '0');
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    if (digits.empty() || digits.size() > 13)
        return false;
    const std::uint64_t total = std::stoull(digits);
    if (total > static_cast<std::uint64_t>(maxiterations))
        return false;
    *steps = total;
    return true;
}

std::uint64_t sppiterations(double spp, int side)
{
    const double steps = std::ceil(spp * side * side);
    return static_cast<std::uint64_t>(std::clamp(steps, 1.0, maxiterations));
}

using Setter = std::function<std::string(RenderOptions&, const std::string&)>;

const std::map<std::string, Setter>& valuedoptions()
{
    static const std::map<std::string, Setter> table = {
        {"--formula",
         [](RenderOptions& o, const std::string& v) -> std::string {
             long long f = 0;
             if (!parseinteger(v, 1, 2, &f))
                 return "--formula takes 1 or 2";
             o.formula = static_cast<int>(f);
             return {};
         }},
        {"--size",
         [](RenderOptions& o, const std::string& v) -> std::string {
             const auto sides = split(v, 'x');
             long long width = 0, height = 0;
             if (sides.size() == 1 && parseinteger(v, 200, maxside, &width)) {
                 o.size = static_cast<int>(width);
                 return {};
             }
             // Print sizes reach further, and need the density tone's memory estimate.
             if (sides.size() == 2 && parseinteger(sides[0], 16, maxside, &width) &&
                 parseinteger(sides[1], 16, maxside, &height)) {
                 o.size = static_cast<int>(width);
                 o.height = static_cast<int>(height);
                 return {};
             }
             return "--size takes a whole number from 200 to 16384, or WxH with each side from 16 to 16384";
         }},
        {"--tone",
         [](RenderOptions& o, const std::string& v) -> std::string {
             if (v != "hit" && v != "density" && v != "depth")
                 return "--tone takes hit, density or depth";
             // The depth tone is the density tone's light in the colours of depth.
             o.density = v != "hit";
             o.depthtone = v == "depth";
             return {};
         }},
        {"--brightness",
         [](RenderOptions& o, const std::string& v) -> std::string {
             long double value = 0;
             if (!parsereal(v, 0.01L, 100, &value))
                 return "--brightness takes a number from 0.01 to 100";
             o.brightness = static_cast<double>(value);
             return {};
         }},
        {"--gamma",
         [](RenderOptions& o, const std::string& v) -> std::string {
             long double value = 0;
             if (!parsereal(v, 0.1L, 10, &value))
                 return "--gamma takes a number from 0.1 to 10";
             o.gamma = static_cast<double>(value);
             return {};
         }},
        {"--spp",
         [](RenderOptions& o, const std::string& v) -> std::string {
             long double value = 0;
             if (!parsereal(v, 0.001L, 100000, &value))
                 return "--spp takes a number of steps per pixel from 0.001 to 100000";
             o.spp = static_cast<double>(value);
             return {};
         }},
        {"--supersample",
         [](RenderOptions& o, const std::string& v) -> std::string {
             long long factor = 0;
             if (!parseinteger(v, 1, maxsupersample, &factor))
                 return "--supersample takes a whole number from 1 to 8";
             o.supersample = static_cast<int>(factor);
             return {};
         }},
        {"--margin",
         [](RenderOptions& o, const std::string& v) -> std::string {
             long double value = 0;
             if (!parsereal(v, 0, 0.4L, &value))
                 return "--margin takes a fraction of the frame from 0 to 0.4";
             o.margin = static_cast<double>(value);
             return {};
         }},
        {"--depth",
         [](RenderOptions& o, const std::string& v) -> std::string {
             if (v != "8" && v != "16")
                 return "--depth takes 8 or 16";
             o.depth = v == "16" ? 16 : 8;
             return {};
         }},
        {"--iterations",
         [](RenderOptions& o, const std::string& v) -> std::string {
             if (!parseiterations(v, &o.iterations))
                 return "--iterations takes a whole number of steps from 1 to 1000G, optionally with k, M or G";
             return {};
         }},
        {"--coloring",
         [](RenderOptions& o, const std::string& v) -> std::string {
             if (v == "hit")
                 o.cmethod = 0;
             else if (v == "z")
                 o.cmethod = 1;
             else
                 return "--coloring takes hit or z";
             return {};
         }},
        {"--palette",
         [](RenderOptions& o, const std::string& v) -> std::string {
             // A word that names no palette and no file is a misspelt name
             // rather than a file to complain about.
             std::error_code ignored;
             const bool pathlike = v.find_first_of("./") != std::string::npos || std::filesystem::exists(v, ignored);
             if (v.empty() || (!namedpalette(v) && !pathlike))
                 return "--palette takes " + palettenames() + ", or a .map file";
             o.palette = v;
             return {};
         }},
        {"--save-palette",
         [](RenderOptions& o, const std::string& v) -> std::string {
             if (!endswith(lowercase(v), ".map"))
                 return "--save-palette takes a .map file name";
             o.savepalette = v;
             return {};
         }},
        {"--background",
         [](RenderOptions& o, const std::string& v) -> std::string {
             if (v == "none") {
                 o.transparent = true;
                 return {};
             }
             if (v == "black" || v == "white") {
                 const int level = v == "black" ? 0 : 255;
                 o.background = std::array<int, 3>{level, level, level};
                 return {};
             }
             const auto parts = split(v, ',');
             std::array<int, 3> rgb{};
             bool sound = parts.size() == 3;
             for (std::size_t k = 0; sound && k < 3; ++k) {
                 long long component = 0;
                 sound = parseinteger(parts[k], 0, 255, &component);
                 rgb[k] = static_cast<int>(component);
             }
             if (!sound)
                 return "--background takes R,G,B, each from 0 to 255, black, white or none";
             o.background = rgb;
             return {};
         }},
        {"--rotate",
         [](RenderOptions& o, const std::string& v) -> std::string {
             const auto parts = split(v, ',');
             std::array<real, 3> angles{};
             bool sound = parts.size() == 3;
             for (std::size_t k = 0; sound && k < 3; ++k)
                 sound = parsereal(parts[k], 0, 360, &angles[k]);
             if (!sound)
                 return "--rotate takes X,Y,Z, each an angle from 0 to 360 degrees";
             o.rotation = angles;
             return {};
         }},
        {"--order",
         [](RenderOptions& o, const std::string& v) -> std::string {
             static const char* names[] = {"XYZ", "XZY", "YXZ", "YZX", "ZXY", "ZYX"};
             for (int k = 0; k < 6; ++k) {
                 if (v == names[k]) {
                     o.rotationorder = k;
                     return {};
                 }
             }
             return "--order takes XYZ, XZY, YXZ, YZX, ZXY or ZYX";
         }},
        {"--seed",
         [](RenderOptions& o, const std::string& v) -> std::string {
             long long seed = 0;
             if (!parseinteger(v, 0, 4294967295LL, &seed))
                 return "--seed takes a whole number from 0 to 4294967295";
             o.seed = static_cast<std::uint32_t>(seed);
             return {};
         }},
        {"--fd-limit",
         [](RenderOptions& o, const std::string& v) -> std::string {
             long double limit = 0;
             if (!parsereal(v, 0.25L, 1.75L, &limit))
                 return "--fd-limit takes a number from 0.25 to 1.75";
             o.fdlimit = static_cast<double>(limit);
             return {};
         }},
        {"--output",
         [](RenderOptions& o, const std::string& v) -> std::string {
             if (v.empty())
                 return "--output takes a file name";
             // What it must name depends on --explore or --turntable, which may come later.
             o.output = v;
             return {};
         }},
        {"--turntable",
         [](RenderOptions& o, const std::string& v) -> std::string {
             long long frames = 0;
             if (!parseinteger(v, minturntableframes, maxturntableframes, &frames))
                 return "--turntable takes a number of frames from 2 to 720";
             o.turntable = static_cast<int>(frames);
             return {};
         }},
        {"--spin",
         [](RenderOptions& o, const std::string& v) -> std::string {
             if (v == "X")
                 o.spin = X;
             else if (v == "Y")
                 o.spin = Y;
             else if (v == "Z")
                 o.spin = Z;
             else
                 return "--spin takes X, Y or Z";
             return {};
         }},
        {"--fps",
         [](RenderOptions& o, const std::string& v) -> std::string {
             long long fps = 0;
             if (!parseinteger(v, 1, 60, &fps))
                 return "--fps takes a whole number from 1 to 60";
             o.fps = static_cast<int>(fps);
             return {};
         }},
        {"--quality",
         [](RenderOptions& o, const std::string& v) -> std::string {
             long long quality = 0;
             if (!parseinteger(v, 0, 100, &quality))
                 return "--quality takes a whole number from 0 to 100";
             o.quality = static_cast<int>(quality);
             return {};
         }},
        {"--explore",
         [](RenderOptions& o, const std::string& v) -> std::string {
             long long entries = 0;
             if (!parseinteger(v, 1, maxexplore, &entries))
                 return "--explore takes a number of entries from 1 to 1000";
             o.explore = static_cast<int>(entries);
             return {};
         }},
        {"--part",
         [](RenderOptions& o, const std::string& v) -> std::string {
             const std::size_t slash = v.find('/');
             long long part = 0, parts = 0;
             if (slash == std::string::npos || !parseinteger(v.substr(slash + 1), 1, maxexplore, &parts) ||
                 !parseinteger(v.substr(0, slash), 1, parts, &part))
                 return "--part takes K/N: share K of N, with 1 <= K <= N <= 1000";
             o.part = static_cast<int>(part);
             o.parts = static_cast<int>(parts);
             return {};
         }},
        {"--filter",
         [](RenderOptions& o, const std::string& v) -> std::string {
             if (v != "none" && v != "normalize" && v != "equalize" && v != "log" && v != "log-squared")
                 return "--filter takes none, normalize, equalize, log or log-squared";
             o.filter = v;
             return {};
         }},
        {"--nadjust",
         [](RenderOptions& o, const std::string& v) -> std::string {
             long long amount = 0;
             if (!parseinteger(v, 0, 10, &amount))
                 return "--nadjust takes a whole number from 0 to 10";
             o.nadjust = static_cast<int>(amount);
             return {};
         }},
        {"--orbits",
         [](RenderOptions& o, const std::string& v) -> std::string {
             long long orbits = 0;
             if (!parseinteger(v, 1, maxorbits, &orbits))
                 return "--orbits takes a whole number from 1 to 1000000";
             o.orbits = static_cast<int>(orbits);
             return {};
         }},
        {"--threads",
         [](RenderOptions& o, const std::string& v) -> std::string {
             long long threads = 0;
             if (!parseinteger(v, 1, maxworkerthreads, &threads))
                 return "--threads takes a whole number from 1 to 256";
             o.threads = static_cast<int>(threads);
             return {};
         }},
        {"--picture",
         [](RenderOptions& o, const std::string& v) -> std::string {
             o.picture = v;
             return {};
         }},
        {"--save-params",
         [](RenderOptions& o, const std::string& v) -> std::string {
             if (v.empty())
                 return "--save-params takes a file name";
             o.saveparams = v;
             return {};
         }},
    };
    return table;
}

bool setflag(RenderOptions& o, const std::string& name)
{
    if (name == "--random")
        o.random = true;
    else if (name == "--fit")
        o.fit = true;
    else if (name == "--screen")
        o.screen = true;
    else if (name == "--quiet")
        o.quiet = true;
    else if (name == "--help" || name == "-h")
        o.help = true;
    else if (name == "--version")
        o.version = true;
    else
        return false;
    return true;
}

// A gallery: a folder of many small pictures, alone of the modes.
std::string settlegallery(RenderOptions& o, const std::set<std::string>& given)
{
    for (const char* single : {"--screen", "--turntable", "--random", "--save-params"})
        if (given.count(single))
            return std::string("--explore cannot be combined with ") + single;
    if (!given.count("--output") || o.output.empty())
        return "--explore needs -o DIR, the folder that receives the gallery";
    if (o.parts && !o.seed)
        return "--part needs --seed, so that every share searches the same sets";
    if (!given.count("--size"))
        o.size = exploresize;
    if (!given.count("--iterations") && !given.count("--spp"))
        o.iterations = exploreiterations;
    // A gallery looks its best by default; the hit tone, a filter or z-plane
    // colouring ask for the pictures as they are drawn.
    if (!given.count("--tone") && o.filter == "none" && o.cmethod == 0) {
        o.density = true;
        o.fit = true;
        // Judged by eye over many entries: the near and far of each icon in
        // inferno's warm-to-violet glowing on black, lit up threefold so the
        // sparse veils still show at a gallery's steps.
        o.depthtone = true;
        if (!given.count("--palette"))
            o.palette = "inferno";
        if (!given.count("--background"))
            o.background = std::array<int, 3>{0, 0, 0};
        if (!given.count("--brightness"))
            o.brightness = 3;
    }
    return {};
}

std::string settleturntable(RenderOptions& o, const std::set<std::string>& given)
{
    // Modes that make no turntable; one more is one more line.
    const std::pair<bool, const char*> othermodes[] = {{o.screen, "--screen"}, {o.random, "--random"}};
    for (const auto& [chosen, name] : othermodes)
        if (chosen)
            return std::string("--turntable cannot be combined with ") + name;
    if (!given.count("--output"))
        o.output = "icon.webp";
    const auto format = animationformat(o.output);
    if (!format)
        return "--turntable writes a .webp file or a folder of PNG frames (a name ending in /)";
    // The format's own limit, which the encoder would meet only after the render.
    constexpr int maxwebpside = 16383;
    if (*format == AnimationFormat::webp && std::max(framewidth(o), frameheight(o)) > maxwebpside)
        return "--turntable: a .webp animation is at most 16383 pixels a side (the format's limit); choose a "
               "smaller --size or a folder of frames";
    if (o.quality && *format != AnimationFormat::webp)
        return "--quality applies to a .webp animation";
    if (o.transparent && *format != AnimationFormat::webp)
        return "--background none in a turntable needs a .webp animation";
    if (o.supersample > 1 || o.depth == 16)
        return "--supersample and --depth 16 make still pictures: not with --turntable";
    if (o.parts > o.turntable)
        return "--part K/N with --turntable: N may be at most the number of frames";
    return {};
}

// The options that depend on others, once all are known.
// Tone mapping and the options that build on it.
std::string settletone(RenderOptions& o, const std::set<std::string>& given)
{
    if (given.count("--spp") && given.count("--iterations"))
        return "--spp and --iterations are two ways of giving the steps: give one";
    // Options that only the density tone has choose it, unless the hit tone
    // was asked for by name; so does a size only it can make.
    const bool densityonly = given.count("--brightness") || given.count("--gamma") || given.count("--supersample") ||
        given.count("--depth") || o.transparent || o.height || o.size > 4000;
    if (densityonly && !given.count("--tone"))
        o.density = true;
    for (const char* option : {"--brightness", "--gamma", "--supersample", "--depth"})
        if (given.count(option) && !o.density)
            return std::string(option) + " needs --tone density";
    if (o.transparent && !o.density)
        return "--background none needs --tone density";
    if (o.density && o.cmethod != 0)
        return std::string("--tone ") + tonename(o) + " colours by hit count: not with --coloring z";
    if (o.density && o.filter != "none")
        return std::string("--tone ") + tonename(o) + " recolours the picture itself: not with --filter";
    if (o.height && (o.explore || o.turntable))
        return "--size WxH makes a still picture: not with --explore or --turntable";
    if ((o.height || o.size > 4000) && !o.density)
        return "--size WxH and sides above 4000 need --tone density";
    return {};
}

// A parameter file is read by the last character of its name, so a record
// saved under any other name would not read back as the set it holds.
std::string settlesaveparams(const RenderOptions& o)
{
    if (!endswith(lowercase(*o.saveparams), ".dv3"))
        return "--save-params writes a .dv3 file: its name must end in .dv3";
    std::error_code error;
    const auto absolute = [&](const std::string& name) {
        return std::filesystem::absolute(name, error).lexically_normal();
    };
    if (absolute(o.output) == absolute(*o.saveparams) || std::filesystem::equivalent(o.output, *o.saveparams, error))
        return "-o and --save-params name the same file";
    return {};
}

std::string settle(RenderOptions& o, const std::set<std::string>& given)
{
    if (!o.turntable && (o.spin || o.fps || o.quality))
        return "--spin, --fps and --quality need --turntable";
    if (o.parts && !o.explore && !o.turntable)
        return "--part needs --explore or --turntable";
    if (std::string problem = settletone(o, given); !problem.empty())
        return problem;
    std::string problem;
    if (o.explore) {
        problem = settlegallery(o, given);
    } else if (o.turntable) {
        problem = settleturntable(o, given);
    } else if (!imageformat(o.output)) {
        problem = "--output must name a .tga or .png file";
    } else if ((o.depth == 16 || o.transparent) && imageformat(o.output) != ImageFormat::png) {
        problem = "--depth 16 and --background none write PNG: -o must name a .png file";
    }
    if (problem.empty() && o.saveparams)
        problem = settlesaveparams(o);
    // A gallery fits by default.
    if (problem.empty() && given.count("--margin") && !o.fit)
        problem = "--margin needs --fit";
    // The steps follow the size, which the mode may have chosen.
    if (o.spp)
        o.iterations = sppiterations(*o.spp, std::max(framewidth(o), frameheight(o)));
    return problem;
}

} // namespace

std::optional<ImageFormat> imageformat(const std::string& path)
{
    const std::string lower = lowercase(path);
    if (endswith(lower, ".tga"))
        return ImageFormat::tga;
    if (endswith(lower, ".png"))
        return ImageFormat::png;
    return std::nullopt;
}

std::optional<AnimationFormat> animationformat(const std::string& path)
{
    std::error_code ignored;
    if (!path.empty() && (path.back() == '/' || std::filesystem::is_directory(path, ignored)))
        return AnimationFormat::pngfolder;
    if (endswith(lowercase(path), ".webp"))
        return AnimationFormat::webp;
    return std::nullopt;
}

ParsedOptions parserenderoptions(const std::vector<std::string>& args)
{
    ParsedOptions parsed;
    RenderOptions& o = parsed.options;
    std::set<std::string> given;
    bool onlyfiles = false;
    for (std::size_t k = 0; k < args.size(); ++k) {
        std::string arg = args[k];
        if (onlyfiles || arg.empty() || arg[0] != '-' || arg == "-") {
            if (o.paramfile) {
                parsed.error = "only one parameter file may be given";
                return parsed;
            }
            o.paramfile = arg;
            continue;
        }
        if (arg == "--") {
            onlyfiles = true;
            continue;
        }
        if (setflag(o, arg)) {
            given.insert(arg);
            continue;
        }

        std::string value;
        bool inlinevalue = false;
        if (const auto equals = arg.find('='); arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg = arg.substr(0, equals);
            inlinevalue = true;
        }
        if (arg == "-o")
            arg = "--output";
        const auto option = valuedoptions().find(arg);
        if (option == valuedoptions().end()) {
            parsed.error = "unknown option " + arg;
            return parsed;
        }
        if (!inlinevalue) {
            if (k + 1 >= args.size()) {
                parsed.error = arg + " needs a value";
                return parsed;
            }
            value = args[++k];
        }
        if (std::string problem = option->second(o, value); !problem.empty()) {
            parsed.error = problem;
            return parsed;
        }
        given.insert(arg);
    }
    parsed.error = settle(o, given);
    return parsed;
}

std::string renderusage()
{
    return "Usage: ktdravune3d-render [OPTIONS] [PARAMFILE]\n"
           "       ktdravune3d-render --explore N -o DIR [OPTIONS] [PARAMFILE]\n"
           "Renders a symmetric-icon attractor without a display, or a gallery of screened random ones.\n"
           "\n"
           "  PARAMFILE              a .dv3 or .dv file; the format is chosen by the name's last character.\n"
           "                         Without it: the built-in set of --formula.\n"
           "  --formula 1|2          default 1; ignored when a PARAMFILE is given\n"
           "  --size N|WxH           image side in pixels, 200..4000 (default 600); with --tone density\n"
           "                         up to 16384, or width x height, each 16..16384. A run that would\n"
           "                         not fit in memory is refused before it starts.\n"
           "  --iterations N         a whole number of formula steps, rendered in whole batches of 1,000\n"
           "                         (rounded up); the first batch is not plotted. Suffixes k, M, G\n"
           "                         multiply by 1e3, 1e6, 1e9 (2.5k is 2500 steps).\n"
           "                         Default 1M.\n"
           "  --spp N                steps per pixel instead of --iterations: N x (larger side)^2 steps,\n"
           "                         the same quality at any size (with --tone density)\n"
           "  --coloring hit|z       default hit\n"
           "  --tone hit|density|depth  hit (default): the hit count picks the palette entry, capped at\n"
           "                         255; density: the logarithm of each pixel's density against the\n"
           "                         mean picks it, so the picture converges as steps grow; depth: the\n"
           "                         mean depth in the view of the pixel's points picks the colour, and\n"
           "                         the density tone's value lays it over the background (every\n"
           "                         density-tone option applies)\n"
           "  --brightness B         density tone: multiplies every density, 0.01..100 (default 1)\n"
           "  --gamma G              density tone: above 1 lifts the sparse parts, 0.1..10 (default 1)\n"
           "  --supersample S        density tone: render S times the side, 1..8, and reduce with a\n"
           "                         tent filter (the steps stay those of the output's pixels)\n"
           "  --fit                  choose the scale from the turned orbit so that the icon fills the\n"
           "                         frame, centred; --save-params keeps the fitted scale\n"
           "  --margin M             with --fit: the frame's share left free on each side, 0..0.4\n"
           "                         (default 0.05)\n"
           "  --depth 8|16           density tone: bits per channel of a PNG (default 8)\n"
           "  --palette NAME|FILE    a built-in palette: 1 (default), 2, or one of the perceptual maps\n"
           "                         inferno, magma, viridis, cividis, twilight, grey and fire; or a\n"
           "                         Fractint .map file\n"
           "  --save-palette FILE    also write the palette in use as a Fractint .map file (with\n"
           "                         --screen, without rendering), to start a palette of one's own\n"
           "  --background R,G,B     each 0..255, or black or white; overrides the file's or the default\n"
           "                         background;\n"
           "                         none (density tone, PNG): transparent, alpha from the density\n"
           "  --rotate X,Y,Z         angles in degrees, 0..360; overrides the file's angles\n"
           "  --order XYZ|XZY|YXZ|YZX|ZXY|ZYX   rotation order (default XYZ)\n"
           "  --random               replace the coefficients by a screened random set for the formula\n"
           "                         (start point kept; refused for a start point beyond the screening\n"
           "                         range, or after 20,000 candidates without a pass)\n"
           "  --seed N               seed for --random and --explore (default: the clock)\n"
           "  --fd-limit F           lower fractal-dimension limit for --random and --explore, 0.25..1.75\n"
           "                         (default 1.5)\n"
           "  --screen               print the set and its screening result; write no image\n"
           "  -o, --output FILE      image file, TGA or PNG by its extension (default icon.tga); for\n"
           "                         --turntable see there\n"
           "  --save-params FILE     also write the set that was rendered as a .dv3 file\n"
           "  --explore N            1..1000: a gallery of the first N sets of the --random search from\n"
           "                         --seed, rendered on every thread into the folder -o DIR (created if\n"
           "                         missing): 001.png, 001.dv3, ..., gallery.json and index.html, a page\n"
           "                         to browse them. --size defaults to 300 and --iterations to 2M here.\n"
           "                         Not with --screen, --turntable, --random or --save-params.\n"
           "  --part K/N             with --explore and --seed: draw only share K of N of the entries\n"
           "                         (entry e when e mod N = K mod N), so that N runs, on one machine or\n"
           "                         many, share a gallery; the share that finds the others finished\n"
           "                         writes the page. Together the files are those of one run. With\n"
           "                         --turntable: frames K, K + N, ... of the turn, into the folder -o\n"
           "                         DIR/, or for -o FILE.webp into FILE.webp.parts, from which the last\n"
           "                         share to finish writes FILE.webp (and removes the folder).\n"
           "  --filter none|normalize|equalize|log|log-squared\n"
           "                         recolour the finished picture (default none); the log filters need\n"
           "                         hit colouring. A filter that cannot apply leaves the picture as\n"
           "                         rendered and says why.\n"
           "  --nadjust N            normalization adjustment, 0 (partial) to 10 (complete) (default 5)\n"
           "  --orbits N             draw the picture from N orbits in doubles at once, 1..1000000\n"
           "                         (default 1: the exact orbit); many times faster, an equally\n"
           "                         valid picture of the same steps\n"
           "  --threads N            threads that share the work, 1..256 (default: the number of\n"
           "                         processors); the output is the same for every number\n"
           "  --turntable N          an animation of N frames (2..720) of the icon making one full turn\n"
           "                         about the --spin axis, all from one orbit of --iterations steps;\n"
           "                         frame k adds 360k/N degrees to that axis's angle. -o names a .webp\n"
           "                         file (default icon.webp) or a folder for frame-0001.png ... (a name\n"
           "                         ending in /, or an existing folder). --filter and --tone apply to\n"
           "                         every frame; --fit fits every turn; --background none needs .webp.\n"
           "  --spin X|Y|Z           the turntable's axis (default Y)\n"
           "  --fps F                the animation's frames per second, 1..60 (default 30)\n"
           "  --quality Q            lossy WebP at quality 0..100 (default: lossless)\n"
           "  --quiet                no progress display\n"
           "  --help, --version\n"
           "\n"
           "Exit status: 0 success, 1 bad arguments, 2 a parameter or palette file that cannot be\n"
           "read or is refused, 3 the output cannot be written, 130 interrupted (143 by SIGTERM; a\n"
           "gallery or frame folder keeps what it finished).\n";
}

} // namespace kt

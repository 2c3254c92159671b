#include "app/render/renderoptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include "engine/turntable.h"
#include "engine/workers.h"

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

bool parsereal(const std::string& text, long double low, long double high, long double* value)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
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

bool parseiterations(const std::string& text, std::uint64_t* steps)
{
    if (text.empty())
        return false;
    double multiplier = 1;
    std::string number = text;
    switch (text.back()) {
    case 'k': multiplier = 1e3; break;
    case 'M': multiplier = 1e6; break;
    case 'G': multiplier = 1e9; break;
    default: break;
    }
    if (multiplier != 1)
        number.pop_back();
    long double value = 0;
    if (!parsereal(number, 0, maxiterations, &value))
        return false;
    const long double total = std::ceil(value * multiplier);
    if (total < 1 || total > maxiterations)
        return false;
    *steps = static_cast<std::uint64_t>(total);
    return true;
}

using Setter = std::function<std::string(RenderOptions&, const std::string&)>;

const std::map<std::string, Setter>& valuedoptions()
{
    static const std::map<std::string, Setter> table = {
        {"--formula", [](RenderOptions& o, const std::string& v) -> std::string {
             long long f = 0;
             if (!parseinteger(v, 1, 2, &f))
                 return "--formula takes 1 or 2";
             o.formula = static_cast<int>(f);
             return {};
         }},
        {"--size", [](RenderOptions& o, const std::string& v) -> std::string {
             long long size = 0;
             if (!parseinteger(v, 200, 4000, &size))
                 return "--size takes a whole number from 200 to 4000";
             o.size = static_cast<int>(size);
             return {};
         }},
        {"--iterations", [](RenderOptions& o, const std::string& v) -> std::string {
             if (!parseiterations(v, &o.iterations))
                 return "--iterations takes a number of steps from 1 to 1e12, optionally with k, M or G";
             return {};
         }},
        {"--coloring", [](RenderOptions& o, const std::string& v) -> std::string {
             if (v == "hit")
                 o.cmethod = 0;
             else if (v == "z")
                 o.cmethod = 1;
             else
                 return "--coloring takes hit or z";
             return {};
         }},
        {"--palette", [](RenderOptions& o, const std::string& v) -> std::string {
             if (v.empty())
                 return "--palette takes 1, 2 or a .map file";
             o.palette = v;
             return {};
         }},
        {"--background", [](RenderOptions& o, const std::string& v) -> std::string {
             const auto parts = split(v, ',');
             std::array<int, 3> rgb{};
             bool sound = parts.size() == 3;
             for (std::size_t k = 0; sound && k < 3; ++k) {
                 long long component = 0;
                 sound = parseinteger(parts[k], 0, 255, &component);
                 rgb[k] = static_cast<int>(component);
             }
             if (!sound)
                 return "--background takes R,G,B, each from 0 to 255";
             o.background = rgb;
             return {};
         }},
        {"--rotate", [](RenderOptions& o, const std::string& v) -> std::string {
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
        {"--order", [](RenderOptions& o, const std::string& v) -> std::string {
             static const char* names[] = {"XYZ", "XZY", "YXZ", "YZX", "ZXY", "ZYX"};
             for (int k = 0; k < 6; ++k) {
                 if (v == names[k]) {
                     o.rotationorder = k;
                     return {};
                 }
             }
             return "--order takes XYZ, XZY, YXZ, YZX, ZXY or ZYX";
         }},
        {"--seed", [](RenderOptions& o, const std::string& v) -> std::string {
             long long seed = 0;
             if (!parseinteger(v, 0, 4294967295LL, &seed))
                 return "--seed takes a whole number from 0 to 4294967295";
             o.seed = static_cast<std::uint32_t>(seed);
             return {};
         }},
        {"--fd-limit", [](RenderOptions& o, const std::string& v) -> std::string {
             long double limit = 0;
             if (!parsereal(v, 0.25L, 1.75L, &limit))
                 return "--fd-limit takes a number from 0.25 to 1.75";
             o.fdlimit = static_cast<double>(limit);
             return {};
         }},
        {"--output", [](RenderOptions& o, const std::string& v) -> std::string {
             if (v.empty())
                 return "--output takes a file name";
             o.output = v; // what it may name depends on --turntable
             return {};
         }},
        {"--turntable", [](RenderOptions& o, const std::string& v) -> std::string {
             long long frames = 0;
             if (!parseinteger(v, minturntableframes, maxturntableframes, &frames))
                 return "--turntable takes a number of frames from 2 to 720";
             o.turntable = static_cast<int>(frames);
             return {};
         }},
        {"--spin", [](RenderOptions& o, const std::string& v) -> std::string {
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
        {"--fps", [](RenderOptions& o, const std::string& v) -> std::string {
             long long fps = 0;
             if (!parseinteger(v, 1, 60, &fps))
                 return "--fps takes a whole number from 1 to 60";
             o.fps = static_cast<int>(fps);
             return {};
         }},
        {"--quality", [](RenderOptions& o, const std::string& v) -> std::string {
             long long quality = 0;
             if (!parseinteger(v, 0, 100, &quality))
                 return "--quality takes a whole number from 0 to 100";
             o.quality = static_cast<int>(quality);
             return {};
         }},
        {"--filter", [](RenderOptions& o, const std::string& v) -> std::string {
             if (v != "none" && v != "normalize" && v != "equalize" && v != "log" && v != "log-squared")
                 return "--filter takes none, normalize, equalize, log or log-squared";
             o.filter = v;
             return {};
         }},
        {"--nadjust", [](RenderOptions& o, const std::string& v) -> std::string {
             long long amount = 0;
             if (!parseinteger(v, 0, 10, &amount))
                 return "--nadjust takes a whole number from 0 to 10";
             o.nadjust = static_cast<int>(amount);
             return {};
         }},
        {"--threads", [](RenderOptions& o, const std::string& v) -> std::string {
             long long threads = 0;
             if (!parseinteger(v, 1, maxworkerthreads, &threads))
                 return "--threads takes a whole number from 1 to 256";
             o.threads = static_cast<int>(threads);
             return {};
         }},
        {"--save-params", [](RenderOptions& o, const std::string& v) -> std::string {
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

// The checks that look at several options at once.
std::string checkcombination(const RenderOptions& o)
{
    if (!o.turntable) {
        if (o.spin || o.fps || o.quality)
            return "--spin, --fps and --quality need --turntable";
        if (!imageformat(o.output))
            return "--output must name a .tga or .png file";
        return {};
    }
    // Modes that make no turntable; one more is one more line.
    const std::pair<bool, const char*> othermodes[] = {{o.screen, "--screen"}, {o.random, "--random"}};
    for (const auto& [chosen, name] : othermodes)
        if (chosen)
            return std::string("--turntable cannot be combined with ") + name;
    const auto format = animationformat(o.output);
    if (!format)
        return "--turntable writes a .webp file or a folder of PNG frames (a name ending in /)";
    if (o.quality && *format != AnimationFormat::webp)
        return "--quality applies to a .webp animation";
    return {};
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
    bool onlyfiles = false;
    bool outputgiven = false;
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
        if (setflag(o, arg))
            continue;

        std::string value;
        bool inlinevalue = false;
        if (const auto equals = arg.find('='); arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg = arg.substr(0, equals);
            inlinevalue = true;
        }
        if (arg == "-o")
            arg = "--output";
        outputgiven = outputgiven || arg == "--output";
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
    }
    if (o.turntable && !outputgiven)
        o.output = "icon.webp";
    parsed.error = checkcombination(o);
    return parsed;
}

std::string renderusage()
{
    return "Usage: ktdravune3d-render [OPTIONS] [PARAMFILE]\n"
           "Renders a symmetric-icon attractor without a display.\n"
           "\n"
           "  PARAMFILE              a .dv3 or .dv file; the format is chosen by the name's last character.\n"
           "                         Without it: the built-in set of --formula.\n"
           "  --formula 1|2          default 1; ignored when a PARAMFILE is given\n"
           "  --size N               image side in pixels, 200..4000 (default 600)\n"
           "  --iterations N         formula steps in all, in whole batches of 1,000 (rounded up); the first\n"
           "                         batch is not plotted. Suffixes k, M, G multiply by 1e3, 1e6, 1e9.\n"
           "                         Default 1M.\n"
           "  --coloring hit|z       default hit\n"
           "  --palette 1|2|FILE     built-in palette 1 or 2, or a Fractint .map file (default 1)\n"
           "  --background R,G,B     each 0..255; overrides the file's or the default background\n"
           "  --rotate X,Y,Z         angles in degrees, 0..360; overrides the file's angles\n"
           "  --order XYZ|XZY|YXZ|YZX|ZXY|ZYX   rotation order (default XYZ)\n"
           "  --random               replace the coefficients by a screened random set for the formula\n"
           "                         (start point kept)\n"
           "  --seed N               seed for --random (default: the clock)\n"
           "  --fd-limit F           lower fractal-dimension limit for --random, 0.25..1.75 (default 1.5)\n"
           "  --screen               print the set and its screening result; write no image\n"
           "  -o, --output FILE      image file, TGA or PNG by its extension (default icon.tga); for\n"
           "                         --turntable see there\n"
           "  --save-params FILE     also write the set that was rendered as a .dv3 file\n"
           "  --filter none|normalize|equalize|log|log-squared\n"
           "                         recolour the finished picture (default none); the log filters need\n"
           "                         hit colouring. A filter that cannot apply leaves the picture as\n"
           "                         rendered and says why.\n"
           "  --nadjust N            normalization adjustment, 0 (partial) to 10 (complete) (default 5)\n"
           "  --threads N            threads that share the work, 1..256 (default: the number of\n"
           "                         processors); the output is the same for every number\n"
           "  --turntable N          an animation of N frames (2..720) of the icon making one full turn\n"
           "                         about the --spin axis, all from one orbit of --iterations steps;\n"
           "                         frame k adds 360k/N degrees to that axis's angle. -o names a .webp\n"
           "                         file (default icon.webp) or a folder for frame-0001.png ... (a name\n"
           "                         ending in /, or an existing folder). --filter applies to every frame.\n"
           "  --spin X|Y|Z           the turntable's axis (default Y)\n"
           "  --fps F                the animation's frames per second, 1..60 (default 30)\n"
           "  --quality Q            lossy WebP at quality 0..100 (default: lossless)\n"
           "  --quiet                no progress display\n"
           "  --help, --version\n"
           "\n"
           "Exit status: 0 success, 1 bad arguments, 2 a parameter or palette file that cannot be\n"
           "read or is refused, 3 the output cannot be written.\n";
}

} // namespace kt

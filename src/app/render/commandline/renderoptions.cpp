#include "app/render/commandline/renderoptions.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <tuple>
#include <type_traits>

#include "app/render/commandline/optionspicture.h"
#include "app/render/shares/stillshares.h"
#include "app/render/still/batchrender.h"
#include "engine/turntable.h"
#include "engine/workers.h"
#include "image/palettes.h"

namespace kt {

namespace {

// The ranges the options take beside a picture's own; the checks, the
// messages and the help all read them from here.
constexpr std::uint64_t maxgigasteps = maxsteps / 1000000000;
constexpr double maxiterations = maxsteps;
constexpr long double minbrightness = 0.01L, maxbrightness = 100;
constexpr long double mingamma = 0.1L, maxgamma = 10;
constexpr long double minspp = 0.001L, maxspp = 100000;
constexpr long double maxmargin = 0.4L;
constexpr long double minfdlimit = 0.25L, maxfdlimit = 1.75L;
constexpr long double maxangle = 360;
constexpr int maxcomponent = 255;
constexpr long long maxseed = 4294967295LL;
constexpr int maxnadjust = 10;
constexpr int maxfps = 60;
constexpr int maxquality = 100;
constexpr int maxparts = maxexplore;

// The help's layout: the names in a column, the text wrapped beside them.
constexpr std::size_t helpcolumn = 30;
constexpr std::size_t helpwidth = 100;

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

// The composite values, read the same way by their check and their store.
struct Size {
    int width = 0;
    std::optional<int> height;
};

std::optional<Size> readsize(const std::string& text)
{
    const auto sides = split(text, 'x');
    long long width = 0, height = 0;
    if (sides.size() == 1 && parseinteger(text, minsquareside, maxside, &width))
        return Size{static_cast<int>(width), std::nullopt};
    // Print sizes reach further, and need the density tone's memory estimate.
    if (sides.size() == 2 && parseinteger(sides[0], minside, maxside, &width) &&
        parseinteger(sides[1], minside, maxside, &height))
        return Size{static_cast<int>(width), static_cast<int>(height)};
    return std::nullopt;
}

std::optional<std::array<int, 3>> readcolour(const std::string& text)
{
    if (text == "black" || text == "white") {
        const int level = text == "black" ? 0 : maxcomponent;
        return std::array<int, 3>{level, level, level};
    }
    const auto parts = split(text, ',');
    if (parts.size() != 3)
        return std::nullopt;
    std::array<int, 3> rgb{};
    for (std::size_t k = 0; k < 3; ++k) {
        long long component = 0;
        if (!parseinteger(parts[k], 0, maxcomponent, &component))
            return std::nullopt;
        rgb[k] = static_cast<int>(component);
    }
    return rgb;
}

std::optional<std::array<real, 3>> readangles(const std::string& text)
{
    const auto parts = split(text, ',');
    if (parts.size() != 3)
        return std::nullopt;
    std::array<real, 3> angles{};
    for (std::size_t k = 0; k < 3; ++k)
        if (!parsereal(parts[k], 0, maxangle, &angles[k]))
            return std::nullopt;
    return angles;
}

std::optional<std::pair<int, int>> readpart(const std::string& text)
{
    const std::size_t slash = text.find('/');
    long long part = 0, parts = 0;
    if (slash == std::string::npos || !parseinteger(text.substr(slash + 1), 1, maxparts, &parts) ||
        !parseinteger(text.substr(0, slash), 1, parts, &part))
        return std::nullopt;
    return std::pair{static_cast<int>(part), static_cast<int>(parts)};
}

// A number as the help and the messages write it: the shortest decimal.
template <class Number>
std::string shown(Number value)
{
    if constexpr (std::is_integral_v<Number>) {
        return std::to_string(value);
    } else {
        char text[64];
        const auto end =
            std::to_chars(text, text + sizeof text, static_cast<double>(value), std::chars_format::fixed).ptr;
        return std::string(text, end);
    }
}

template <class Number>
std::string span(Number low, Number high)
{
    return shown(low) + ".." + shown(high);
}

// "a, b or c"
std::string listed(const std::vector<std::string>& words, const char* last = " or ")
{
    std::string text;
    for (std::size_t k = 0; k < words.size(); ++k)
        text += (k == 0 ? "" : k + 1 == words.size() ? last : ", ") + words[k];
    return text;
}

// What an option's value must be: the form the help shows, what a refused
// value is told it takes, and the check (a CLI11 transformer), which leaves
// an accepted text in the one form the option's store reads.
struct Value {
    std::string form; // empty: a flag, which takes no value
    std::string takes;
    std::function<bool(std::string&)> check;
};

Value whole(long long low, long long high, const std::string& noun = "a whole number", const char* form = "N")
{
    return {form, noun + " from " + shown(low) + " to " + shown(high), [=](std::string& text) {
                long long value = 0;
                if (!parseinteger(text, low, high, &value))
                    return false;
                // CLI11 would read "010" as octal; the store reads this.
                text = std::to_string(value);
                return true;
            }};
}

Value number(long double low, long double high, const char* form, const std::string& noun = "a number")
{
    return {form, noun + " from " + shown(low) + " to " + shown(high), [=](std::string& text) {
                long double value = 0;
                return parsereal(text, low, high, &value);
            }};
}

// One of some words, kept as given or, with `index`, as its place in the list.
Value oneof(const std::vector<std::string>& words, bool index = false)
{
    std::string form;
    for (const std::string& word : words)
        form += (form.empty() ? "" : "|") + word;
    return {form, listed(words), [=](std::string& text) {
                const auto found = std::find(words.begin(), words.end(), text);
                if (found == words.end())
                    return false;
                if (index)
                    text = std::to_string(found - words.begin());
                return true;
            }};
}

Value filename(const char* form = "FILE")
{
    return {form, "a file name", [](std::string& text) { return !text.empty(); }};
}

// Any word: the parameter file is named by what follows.
Value anyword(const char* form)
{
    return {form, "a file name", [](std::string&) { return true; }};
}

Value flag()
{
    return {};
}

using Store = std::function<void(RenderOptions&, const std::string&)>;

// A checked text into a field of its type.
template <class Field>
void assign(Field& field, const std::string& text)
{
    if constexpr (std::is_same_v<Field, std::string>)
        field = text;
    else if constexpr (std::is_floating_point_v<Field>)
        field = static_cast<Field>(std::strtold(text.c_str(), nullptr));
    else if constexpr (std::is_enum_v<Field> || std::is_signed_v<Field>)
        field = static_cast<Field>(std::stoll(text));
    else
        field = static_cast<Field>(std::stoull(text));
}

template <class Field>
void assign(std::optional<Field>& field, const std::string& text)
{
    Field value{};
    assign(value, text);
    field = value;
}

template <class Field>
Store into(Field RenderOptions::*field)
{
    return [field](RenderOptions& o, const std::string& text) { assign(o.*field, text); };
}

Store set(bool RenderOptions::*field)
{
    return [field](RenderOptions& o, const std::string&) { o.*field = true; };
}

// One option of the command line.
struct Row {
    const char* names; // as CLI11 takes them: "-o,--output", or PARAMFILE for the positional
    Value value;
    Store store;
    std::string help;
    bool fixed = false; // a picture file fixes it, so --picture excludes it
};

constexpr const char* paramfile = "PARAMFILE";

const std::vector<Row>& optiontable()
{
    static const std::vector<Row> table = [] {
        const bool fixed = true;
        std::vector<Row> rows = {
            {paramfile, anyword("PARAMFILE"), into(&RenderOptions::paramfile),
             "a .dv3 or .dv file; the format is chosen by the name's last character. Without it: the built-in set of "
             "--formula. After --, a name beginning with - is a file name too.",
             fixed},
            {"--formula",
             {"1|2", "1 or 2", whole(1, 2).check},
             into(&RenderOptions::formula),
             "default 1; ignored when a PARAMFILE is given",
             fixed},
            {"--size",
             {"N|WxH",
              "a whole number from " + shown(minsquareside) + " to " + shown(maxside) +
                  ", or WxH with each side from " + shown(minside) + " to " + shown(maxside),
              [](std::string& text) { return readsize(text).has_value(); }},
             [](RenderOptions& o, const std::string& text) {
                 const Size size = *readsize(text);
                 o.size = size.width;
                 o.height = size.height;
             },
             "image side in pixels, " + span(minsquareside, maxhitside) + " (default 600); with --tone density up to " +
                 shown(maxside) + ", or width x height, each " + span(minside, maxside) +
                 ". A run that would not fit in memory is refused before it starts.",
             fixed},
            {"--iterations",
             {"N", "a whole number of steps from 1 to " + shown(maxgigasteps) + "G, optionally with k, M or G",
              [](std::string& text) {
                  std::uint64_t steps = 0;
                  if (!parseiterations(text, &steps))
                      return false;
                  text = std::to_string(steps);
                  return true;
              }},
             into(&RenderOptions::iterations),
             "a whole number of formula steps, 1.." + shown(maxgigasteps) +
                 "G, rendered in whole batches of 1,000 (rounded up); the first batch is not plotted. Suffixes k, M, "
                 "G multiply by 1e3, 1e6, 1e9 (2.5k is 2500 steps; 0.5 and 1e3 are refused). Default 1M.",
             fixed},
            {"--spp", number(minspp, maxspp, "N", "a number of steps per pixel"), into(&RenderOptions::spp),
             "steps per pixel instead of --iterations, " + span(minspp, maxspp) +
                 ": N x (larger side)^2 steps, the same quality at any size (with --tone density)",
             fixed},
            {"--coloring", oneof({"hit", "z"}, true), into(&RenderOptions::cmethod), "default hit", fixed},
            {"--tone", oneof({"hit", "density", "depth"}),
             [](RenderOptions& o, const std::string& text) {
                 // The depth tone is the density tone's light in the colours of depth.
                 o.density = text != "hit";
                 o.depthtone = text == "depth";
             },
             "hit (default): the hit count picks the palette entry, capped at 255; density: the logarithm of each "
             "pixel's density against the mean picks it, so the picture converges as steps grow; depth: the mean "
             "depth in the view of the pixel's points picks the colour, and the density tone's value lays it over "
             "the background (every density-tone option applies)",
             fixed},
            {"--brightness", number(minbrightness, maxbrightness, "B"), into(&RenderOptions::brightness),
             "density tone: multiplies every density, " + span(minbrightness, maxbrightness) + " (default 1)", fixed},
            {"--gamma", number(mingamma, maxgamma, "G"), into(&RenderOptions::gamma),
             "density tone: above 1 lifts the sparse parts, " + span(mingamma, maxgamma) + " (default 1)", fixed},
            {"--supersample", whole(1, maxsupersample, "a whole number", "S"), into(&RenderOptions::supersample),
             "density tone: render S times the side, " + span(1, maxsupersample) +
                 ", and reduce with a tent filter (the steps stay those of the output's pixels)",
             fixed},
            {"--fit", flag(), set(&RenderOptions::fit),
             "choose the scale from the turned orbit so that the icon fills the frame, centred; --save-params keeps "
             "the fitted scale",
             fixed},
            {"--margin", number(0, maxmargin, "M", "a fraction of the frame"), into(&RenderOptions::margin),
             "with --fit: the frame's share left free on each side, " + span(0.0L, maxmargin) + " (default 0.05)",
             fixed},
            {"--depth", oneof({"8", "16"}), into(&RenderOptions::depth),
             "density tone: bits per channel of a PNG (default 8)", fixed},
            {"--palette",
             {"NAME|FILE", palettenames() + ", or a .map file",
              [](std::string& text) {
                  // A word that names no palette and no file is a misspelt name
                  // rather than a file to complain about.
                  std::error_code ignored;
                  const bool pathlike = text.find_first_of("./") != std::string::npos ||
                      std::filesystem::exists(text, ignored);
                  return !text.empty() && (namedpalette(text) || pathlike);
              }},
             into(&RenderOptions::palette),
             "a built-in palette, " + palettenames() +
                 " (default 1; the others are perceptual colour maps), or a Fractint .map file",
             fixed},
            {"--save-palette",
             {"FILE", "a .map file name", [](std::string& text) { return endswith(lowercase(text), ".map"); }},
             into(&RenderOptions::savepalette),
             "also write the palette in use as a Fractint .map file (with --screen, without rendering), to start a "
             "palette of one's own"},
            {"--background",
             {"R,G,B|black|white|none", "R,G,B, each from 0 to " + shown(maxcomponent) + ", black, white or none",
              [](std::string& text) { return text == "none" || readcolour(text).has_value(); }},
             [](RenderOptions& o, const std::string& text) {
                 if (text == "none")
                     o.transparent = true;
                 else
                     o.background = readcolour(text);
             },
             "each " + span(0, maxcomponent) +
                 ", or black or white; overrides the file's or the default background; none (density tone, PNG): "
                 "transparent, alpha from the density",
             fixed},
            {"--rotate",
             {"X,Y,Z", "X,Y,Z, each an angle from 0 to " + shown(maxangle) + " degrees",
              [](std::string& text) { return readangles(text).has_value(); }},
             [](RenderOptions& o, const std::string& text) { o.rotation = readangles(text); },
             "angles in degrees, " + span(0.0L, maxangle) + ", kept at extended precision; overrides the file's angles",
             fixed},
            {"--order", oneof({"XYZ", "XZY", "YXZ", "YZX", "ZXY", "ZYX"}, true), into(&RenderOptions::rotationorder),
             "rotation order (default XYZ)", fixed},
            {"--random", flag(), set(&RenderOptions::random),
             "replace the coefficients by a screened random set for the formula (start point kept; refused for a "
             "start point beyond the screening range, or after 20,000 candidates without a pass)",
             fixed},
            {"--seed", whole(0, maxseed), into(&RenderOptions::seed),
             "seed for --random and --explore, " + span(0LL, maxseed) + " (default: the clock)", fixed},
            {"--fd-limit", number(minfdlimit, maxfdlimit, "F"), into(&RenderOptions::fdlimit),
             "lower fractal-dimension limit for --random and --explore, " + span(minfdlimit, maxfdlimit) +
                 " (default 1.5)",
             fixed},
            {"--screen", flag(), set(&RenderOptions::screen), "print the set and its screening result; write no image",
             fixed},
            {"-o,--output", filename(), into(&RenderOptions::output),
             "image file, TGA or PNG by its extension (default icon.tga); the folder of a gallery; for --turntable "
             "see there"},
            {"--save-params", filename(), into(&RenderOptions::saveparams),
             "also write the set that was rendered as a .dv3 file (the name must end in .dv3)"},
            {"--picture", filename(), into(&RenderOptions::picture),
             "render the picture a picture file (or a gallery.json entry's \"picture\") describes"},
            {"--explore", whole(1, maxexplore, "a number of entries"), into(&RenderOptions::explore),
             span(1, maxexplore) +
                 ": a gallery of the first N sets of the --random search from --seed, rendered on every thread into "
                 "the folder -o DIR (created if missing): 001.png, 001.dv3, ..., gallery.json and index.html, a page "
                 "to browse them. --size defaults to " +
                 shown(exploresize) + " and --iterations to " + shown(exploreiterations / 1000000) + "M here.",
             fixed},
            {"--part",
             {"K/N", "K/N: share K of N, with 1 <= K <= N <= " + shown(maxparts),
              [](std::string& text) { return readpart(text).has_value(); }},
             [](RenderOptions& o, const std::string& text) { std::tie(o.part, o.parts) = *readpart(text); },
             "1 <= K <= N <= " + shown(maxparts) +
                 "; with --explore and --seed: draw only share K of N of the entries (entry e when e mod N = K mod "
                 "N), so that N runs, on one machine or many, share a gallery; the share that finds the others "
                 "finished writes the page. Together the files are those of one run. With --turntable: frames K, K + "
                 "N, ... of the turn, into the folder -o DIR/, or for -o FILE.webp into FILE.webp.parts, from which "
                 "the last share to finish writes FILE.webp (and removes the folder). A still of --orbits M > 1 (hit "
                 "colouring, not --tone depth, N <= M): orbits K, K + N, ... of the M, whose hit counts go into "
                 "FILE.parts beside -o FILE; the last share to finish adds them up and writes FILE, the bytes of "
                 "one run.",
             fixed},
            {"--filter", oneof({"none", "normalize", "equalize", "log", "log-squared"}), into(&RenderOptions::filter),
             "recolour the finished picture (default none); the log filters need hit colouring. A filter that "
             "cannot apply leaves the picture as rendered and says why.",
             fixed},
            {"--nadjust", whole(0, maxnadjust), into(&RenderOptions::nadjust),
             "normalization adjustment, " + shown(0) + " (partial) to " + shown(maxnadjust) + " (complete) (default 5)",
             fixed},
            {"--orbits", whole(1, maxorbits), into(&RenderOptions::orbits),
             "draw the picture from N orbits in doubles at once, " + span(1, maxorbits) +
                 " (default 1: the exact orbit); many times faster, an equally valid picture of the same steps",
             fixed},
            {"--threads", whole(1, maxworkerthreads), into(&RenderOptions::threads),
             "threads that share the work, " + span(1, maxworkerthreads) +
                 " (default: the number of processors); the output is the same for every number"},
            {"--turntable", whole(minturntableframes, maxturntableframes, "a number of frames"),
             into(&RenderOptions::turntable),
             "an animation of N frames (" + span(minturntableframes, maxturntableframes) +
                 ") of the icon making one full turn about the --spin axis, all from one orbit of --iterations steps; "
                 "frame k adds 360k/N degrees to that axis's angle. -o names a .webp file (default icon.webp) or a "
                 "folder for frame-0001.png ... (a name ending in /, or an existing folder). --filter and --tone "
                 "apply to every frame; --fit fits every turn; --background none needs .webp.",
             fixed},
            {"--spin", oneof({"X", "Y", "Z"}, true), into(&RenderOptions::spin), "the turntable's axis (default Y)",
             fixed},
            {"--fps", whole(1, maxfps, "a whole number", "F"), into(&RenderOptions::fps),
             "the animation's frames per second, " + span(1, maxfps) + " (default 30)", fixed},
            {"--quality", whole(0, maxquality, "a whole number", "Q"), into(&RenderOptions::quality),
             "lossy WebP at quality " + span(0, maxquality) + " (default: lossless)", fixed},
            {"--quiet", flag(), set(&RenderOptions::quiet), "no progress display"},
            {"-h,--help", flag(), set(&RenderOptions::help), "print this help"},
            {"--version", flag(), set(&RenderOptions::version), "print the program's version"},
        };
        return rows;
    }();
    return table;
}

// Options that exclude others or need another. CLI11 finds a breach; the
// first rule broken, in this order, names it.
struct Rule {
    enum Kind { excludes, needs, neededby } kind;
    std::string option;
    std::vector<std::string> others;
    std::function<std::string(const std::string& other)> message;
    // Named before the checks of the values' combinations (the tone's), or after.
    enum When { first, last } when = last;
    bool firstgiven = false; // names the other given first, rather than the first of the list given
};

const std::vector<Rule>& ruletable()
{
    static const std::vector<Rule> rules = [] {
        std::vector<std::string> fixedbypicture;
        for (const Row& row : optiontable())
            if (row.fixed)
                fixedbypicture.push_back(split(row.names, ',').back());
        const auto fixedname = [](const std::string& name) {
            return name == paramfile ? std::string("a parameter file") : name;
        };
        return std::vector<Rule>{
            {Rule::excludes, "--picture", fixedbypicture,
             [=](const std::string& other) { return "--picture cannot be given with " + fixedname(other); },
             Rule::first, true},
            {Rule::neededby,
             "--turntable",
             {"--spin", "--fps", "--quality"},
             [](const std::string&) { return std::string("--spin, --fps and --quality need --turntable"); },
             Rule::first},
            {Rule::excludes,
             "--spp",
             {"--iterations"},
             [](const std::string&) {
                 return std::string("--spp and --iterations are two ways of giving the steps: give one");
             },
             Rule::first},
            // A gallery: a folder of many small pictures, alone of the modes.
            {Rule::excludes,
             "--explore",
             {"--screen", "--turntable", "--random", "--save-params"},
             [](const std::string& other) { return "--explore cannot be combined with " + other; }},
            {Rule::needs,
             "--explore",
             {"--output"},
             [](const std::string&) {
                 return std::string("--explore needs -o DIR, the folder that receives the gallery");
             }},
            // Modes that make no turntable.
            {Rule::excludes,
             "--turntable",
             {"--screen", "--random"},
             [](const std::string& other) { return "--turntable cannot be combined with " + other; }},
        };
    }();
    return rules;
}

// The options given, by the name of each, in the order given.
std::vector<std::string> givenorder(const CLI::App& app)
{
    std::vector<std::string> names;
    for (const CLI::Option* option : app.parse_order())
        if (std::find(names.begin(), names.end(), option->get_name()) == names.end())
            names.push_back(option->get_name());
    return names;
}

std::string brokenrule(const CLI::App& app, Rule::When when)
{
    const std::vector<std::string> order = givenorder(app);
    const auto given = [&](const std::string& name) {
        return std::find(order.begin(), order.end(), name) != order.end();
    };
    for (const Rule& rule : ruletable()) {
        if (rule.when != when)
            continue;
        if (rule.kind == Rule::needs && given(rule.option) && !given(rule.others.front()))
            return rule.message(rule.others.front());
        if (rule.kind == Rule::neededby && !given(rule.option))
            for (const std::string& other : rule.others)
                if (given(other))
                    return rule.message(other);
        if (rule.kind == Rule::excludes && given(rule.option)) {
            const std::vector<std::string>& first = rule.firstgiven ? order : rule.others;
            const std::vector<std::string>& then = rule.firstgiven ? rule.others : order;
            for (const std::string& other : first)
                if (std::find(then.begin(), then.end(), other) != then.end())
                    return rule.message(other);
        }
    }
    return {};
}

std::string wrap(const std::string& text, std::size_t width)
{
    std::string wrapped, line;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            wrapped += line + '\n';
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return wrapped + line;
}

// The help: the usage, each option with its value's form beside its name, the
// text wrapped beside them.
class Help : public CLI::Formatter {
public:
    std::string make_option_name(const CLI::Option* option, bool positional) const override
    {
        std::string name = CLI::Formatter::make_option_name(option, positional);
        if (const auto comma = name.find(','); comma != std::string::npos)
            name.insert(comma + 1, " ");
        return name;
    }

    std::string make_option_opts(const CLI::Option* option) const override
    {
        const std::string& form = option->get_option_text();
        return form.empty() || option->get_positional() ? std::string() : " " + form;
    }

    // The text, with the rules that bind the option, wrapped beside the names.
    std::string make_option_desc(const CLI::Option* option) const override
    {
        std::string text = option->get_description();
        const std::string name = option->get_name();
        // A sentence of its own after one, a clause after a phrase.
        const auto add = [&](const std::string& clause) {
            text += text.back() == '.'
                ? " " + std::string(1, static_cast<char>(std::toupper(clause[0]))) + clause.substr(1) + "."
                : "; " + clause;
        };
        for (const Rule& rule : ruletable()) {
            if (rule.kind == Rule::excludes && rule.option == name && !rule.firstgiven)
                add("not with " + listed(rule.others));
            if (rule.kind == Rule::neededby && std::count(rule.others.begin(), rule.others.end(), name))
                add("needs " + rule.option);
        }
        return wrap(text, helpwidth - helpcolumn);
    }

    std::string make_usage(const CLI::App*, std::string) const override
    {
        std::string picture;
        for (const Row& row : optiontable()) {
            const std::string name = split(row.names, ',').front();
            if (!row.fixed && name != "--picture" && name != "-h" && name != "--version")
                picture += " [" + name + (row.value.form.empty() ? "" : " " + row.value.form) + "]";
        }
        return std::string("Usage: ") + renderprogram + " [OPTIONS] [PARAMFILE]\n       " + renderprogram +
            " --explore N -o DIR [OPTIONS] [PARAMFILE]\n       " + renderprogram + " --picture FILE" + picture +
            "\nRenders a symmetric-icon attractor without a display, or a gallery of screened random ones.\n";
    }
};

std::string footer()
{
    return wrap("Numbers are decimal: 0x10 is refused, and 010 is ten. -- ends the options: what follows it is the "
                "PARAMFILE, even a name beginning with -.",
                helpwidth) +
        "\n\n" +
        wrap("Exit status: " + shown(+exitsuccess) + " success, " + shown(+exitbadarguments) + " bad arguments, " +
                 shown(+exitbadinput) + " a parameter or palette file that cannot be read or is refused, " +
                 shown(+exitcannotwrite) +
                 " the output cannot be written, 130 interrupted (143 by SIGTERM; a gallery or frame folder keeps what "
                 "it finished).",
             helpwidth);
}

// "unknown option --x" for a word that names no option: of "--x=1" the name.
std::string unknown(const std::string& word)
{
    return "unknown option " + (word.rfind("--", 0) == 0 ? word.substr(0, word.find('=')) : word);
}

// The words being read. CLI11 takes them from the back of `words`, so while
// an option's value is checked, the words it took end where those left begin.
struct Reading {
    std::vector<std::string> args; // as given
    std::vector<std::string> words;
    std::string refused; // what the value refused last was told
};

// CLI11 also reads "-ofile", "-o=file", "-hx", "--fit=true" and "--size= 600";
// this program never did: an option is its name alone, followed by its value
// or, for a long one, with "=value". "" or the message, for the option of
// `row` given `value`.
std::string misspelt(const Reading& reading, const Row& row, const std::string& value)
{
    const std::size_t taken = reading.args.size() - reading.words.size();
    if (reading.args.empty() || taken == 0)
        return {};
    const std::vector<std::string> names = split(row.names, ',');
    const auto named = [&](const std::string& word) {
        return std::find(names.begin(), names.end(), word) != names.end();
    };
    // The last word the option took: its name, its value, or the two in one.
    const std::string& last = reading.args[taken - 1];
    if (row.value.form.empty())
        return named(last) ? "" : unknown(last);
    if (last != value) // "--output=file", or CLI11's "-ofile"
        return last.rfind("--", 0) == 0 && named(last.substr(0, last.find('='))) ? "" : unknown(last);
    if (taken < 2)
        return unknown(last);
    const std::string& name = reading.args[taken - 2];
    if (named(name))
        return {};
    // "--size=" gave an empty value; CLI11 took the next word instead.
    if (!name.empty() && name.back() == '=' && named(name.substr(0, name.size() - 1)))
        return names.back() + " takes " + row.value.takes;
    return unknown(name);
}

// The command line as CLI11 reads it: every option of the table, each value
// checked and stored in the order given.
void declare(CLI::App& app, RenderOptions& o, Reading& reading)
{
    app.set_help_flag(); // --help is an option like the others: a bad command line is named first
    // Unknown options and a second file are named below, in the order given.
    app.allow_extras();
    app.validate_positionals();
    auto help = std::make_shared<Help>();
    help->column_width(helpcolumn);
    help->label("Positionals", "Arguments");
    app.formatter(help);
    app.footer(footer());

    for (const Row& row : optiontable()) {
        const std::string name = split(row.names, ',').back();
        CLI::Option* option;
        if (name == paramfile) {
            option = app.add_option_function<std::string>(
                row.names, [&o, store = row.store](const std::string& value) { store(o, value); }, row.help);
            // Before --, a word beginning with - is an option, known or not.
            option->check(CLI::Validator(
                [&app](std::string& value) {
                    const auto before = app.remaining();
                    const bool options = std::find(before.begin(), before.end(), "--") == before.end();
                    return options && value.size() > 1 && value[0] == '-' ? "an option" : "";
                },
                ""));
            continue;
        }
        if (row.value.form.empty()) {
            option = app.add_flag_callback(
                row.names, [&o, store = row.store] { store(o, {}); }, row.help);
        } else {
            option = app.add_option_function<std::string>(
                row.names, [&o, store = row.store](const std::string& value) { store(o, value); }, row.help);
            option->option_text(row.value.form);
        }
        option->transform(CLI::Validator(
            [&reading, &row, message = name + " takes " + row.value.takes](std::string& value) {
                reading.refused = misspelt(reading, row, value);
                if (reading.refused.empty() && row.value.check && !row.value.check(value))
                    reading.refused = message;
                return reading.refused;
            },
            ""));
        // Each value is checked and stored as it is read, the last one given staying.
        option->trigger_on_parse();
    }

    for (const Rule& rule : ruletable()) {
        CLI::Option* option = app.get_option(rule.option);
        for (const std::string& other : rule.others) {
            if (rule.kind == Rule::excludes)
                option->excludes(app.get_option(other));
            else if (rule.kind == Rule::needs)
                option->needs(app.get_option(other));
            else
                app.get_option(other)->needs(option);
        }
    }
}

// The first of the words CLI11 left over that is an error, in the order given:
// an unknown option, or a second parameter file.
std::string leftover(const std::vector<std::string>& remaining)
{
    bool options = true;
    for (const std::string& word : remaining) {
        if (options && word == "--") {
            options = false;
        } else if (options && word.size() > 1 && word[0] == '-') {
            return unknown(word);
        } else {
            return "only one parameter file may be given";
        }
    }
    return {};
}

// The options that depend on others, once all are known; the rules of the
// table are CLI11's to check.
// A gallery: a folder of many small pictures.
std::string settlegallery(RenderOptions& o, const std::set<std::string>& given)
{
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

// Tone mapping and the options that build on it.
std::string settletone(RenderOptions& o, const std::set<std::string>& given)
{
    // Options that only the density tone has choose it, unless the hit tone
    // was asked for by name; so does a size only it can make.
    const bool densityonly = given.count("--brightness") || given.count("--gamma") || given.count("--supersample") ||
        given.count("--depth") || o.transparent || o.height || o.size > maxhitside;
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
    if ((o.height || o.size > maxhitside) && !o.density)
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

// What is checked before the modes' own rules.
std::string settlevalues(RenderOptions& o, const std::set<std::string>& given)
{
    return settletone(o, given);
}

std::string settle(RenderOptions& o, const std::set<std::string>& given)
{
    if (std::string problem = settlevalues(o, given); !problem.empty())
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
    if (problem.empty() && o.parts && !o.explore && !o.turntable)
        problem = o.random && !o.seed ? "--part with --random needs --seed, so that every share draws the same set"
                                      : stillshareproblem(optionslook(o), o.parts);
    // The steps follow the size, which the mode may have chosen.
    if (o.spp)
        o.iterations = sppsteps(*o.spp, std::max(framewidth(o), frameheight(o)));
    return problem;
}

// What CLI11's refusal means in this program's words, for the options `o`
// as far as they were read.
std::string refusal(const CLI::ParseError& error, const CLI::App& app, const std::vector<std::string>& args,
                    RenderOptions& o, const std::string& refused)
{
    if (dynamic_cast<const CLI::ValidationError*>(&error) && !refused.empty())
        return refused;
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) && !args.empty()) {
        // Only the last word can lack its value; "--size=" gave an empty one.
        const std::string& last = args.back();
        const std::size_t equals = last.find('=');
        if (const CLI::Option* option = app.get_option_no_throw(last.substr(0, equals))) {
            if (equals == std::string::npos)
                return option->get_name() + " needs a value";
            for (const Row& row : optiontable())
                if (split(row.names, ',').back() == option->get_name())
                    return option->get_name() + " takes " + row.value.takes;
        }
    }
    if (dynamic_cast<const CLI::ExcludesError*>(&error) || dynamic_cast<const CLI::RequiresError*>(&error)) {
        // In the order the checks have always been made: a few rules, the
        // values' combinations, then the modes' rules.
        if (std::string broken = brokenrule(app, Rule::first); !broken.empty())
            return broken;
        const std::vector<std::string> order = givenorder(app);
        if (std::string problem = settlevalues(o, std::set<std::string>(order.begin(), order.end())); !problem.empty())
            return problem;
        if (std::string broken = brokenrule(app, Rule::last); !broken.empty())
            return broken;
    }
    return error.what();
}

} // namespace

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
    Reading reading{args, {args.rbegin(), args.rend()}, {}};
    CLI::App app{"", renderprogram};
    declare(app, parsed.options, reading);
    try {
        app.parse(reading.words);
    } catch (const CLI::ParseError& error) {
        parsed.error = refusal(error, app, args, parsed.options, reading.refused);
    }
    // What CLI11 left over came before the error it stopped at.
    if (std::string word = leftover(app.remaining()); !word.empty())
        parsed.error = word;
    if (parsed.error.empty()) {
        const std::vector<std::string> order = givenorder(app);
        parsed.error = settle(parsed.options, std::set<std::string>(order.begin(), order.end()));
    }
    return parsed;
}

std::string renderusage()
{
    RenderOptions unused;
    Reading unread;
    CLI::App app{"", renderprogram};
    declare(app, unused, unread);
    return app.help();
}

} // namespace kt

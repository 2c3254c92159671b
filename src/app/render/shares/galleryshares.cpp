#include "app/render/shares/galleryshares.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "files/paramfiles.h"
#include "files/picturetext.h"

namespace kt {

namespace {

std::string path(const std::string& folder, const std::string& name)
{
    return (std::filesystem::path(folder) / name).string();
}

// Hexadecimal floating point, so that a measure comes back to the bit.
std::string exactdouble(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%a", value);
    return text;
}

std::optional<double> readdouble(std::istream& in)
{
    std::string word;
    if (!(in >> word))
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(word.c_str(), &end);
    if (end != word.c_str() + word.size())
        return std::nullopt;
    return value;
}

std::optional<DV3> readset(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.size() != dv3size)
        return std::nullopt;
    return decodedv3(bytes.data());
}

// Ends a record's settings; the finished entries follow.
constexpr const char* finishedline = "finished";

// A record's settings, up to the line that ends them, which is read too.
std::string settingsof(std::istream& in)
{
    std::string text;
    for (std::string line; std::getline(in, line) && line != finishedline;)
        text += line + "\n";
    return text;
}

// "" when the two are the same settings, or the first in which they differ,
// shown with both values when they are short enough to read.
std::string difference(const std::string& recorded, const std::string& ours)
{
    std::istringstream theirs(recorded), mine(ours);
    std::string a, b;
    while (true) {
        const bool more = static_cast<bool>(std::getline(theirs, a));
        const bool ourmore = static_cast<bool>(std::getline(mine, b));
        if (!more && !ourmore)
            return {};
        if (more && ourmore && a == b)
            continue;
        // A picture's field reads "  \"name\": value," and the others "name value".
        const auto field = [](const std::string& line) {
            const bool quoted = line.rfind("  \"", 0) == 0;
            const auto from = quoted ? std::size_t{3} : std::size_t{0};
            const auto end = line.find(quoted ? "\": " : " ", from);
            if (end == std::string::npos)
                return std::pair{line, std::string()};
            std::string value = line.substr(end + (quoted ? 3 : 1));
            if (quoted && !value.empty() && value.back() == ',')
                value.pop_back();
            return std::pair{line.substr(from, end - from), value};
        };
        const auto name = [&](const std::string& line) { return field(line).first; };
        const auto value = [&](const std::string& line) { return field(line).second; };
        if (!more || !ourmore || name(a) != name(b))
            return "settings of another form, from \"" + name(more ? a : b) + "\" on";
        constexpr std::size_t readable = 40;
        if (value(a).size() > readable || value(b).size() > readable)
            return "another " + name(a);
        return name(a) + " " + value(a) + ", not " + value(b);
    }
}

} // namespace

std::string sharerecordname(int part, int parts)
{
    return "part-" + std::to_string(part) + "-of-" + std::to_string(parts) + ".txt";
}

bool issharerecordname(const std::string& name)
{
    const std::string prefix = "part-", middle = "-of-";
    if (name.rfind(prefix, 0) != 0)
        return false;
    const char* end = name.data() + name.size();
    int part = 0, parts = 0;
    const auto first = std::from_chars(name.data() + prefix.size(), end, part);
    if (first.ec != std::errc() || std::string(first.ptr, end).rfind(middle, 0) != 0)
        return false;
    const auto second = std::from_chars(first.ptr + middle.size(), end, parts);
    return second.ec == std::errc() && name == sharerecordname(part, parts);
}

std::string hextext(const std::uint8_t* bytes, std::size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t k = 0; k < size; ++k) {
        text += digits[bytes[k] >> 4];
        text += digits[bytes[k] & 15];
    }
    return text;
}

std::string sharesettings(const Picture& start, const Palette& colours, int entries, double fdlimit,
                          std::uint32_t seed)
{
    return std::string("version ") + KT_VERSION + "\nseed " + std::to_string(seed) + "\nentries " +
        std::to_string(entries) + "\nfd_limit " + exactdouble(fdlimit) + "\n" + recordedpicture(start, colours);
}

std::string recordedpicture(const Picture& p, const Palette& colours)
{
    std::istringstream lines(picturetext(p));
    std::string text;
    // Compared by its colours below: the file's path may differ from
    // machine to machine.
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("  \"palette\":", 0) != 0)
            text += line + "\n";
    // Last, so that a setting one can read is named first when two differ.
    return text + "palette_colours " + hextext(colours.data(), colours.size()) + "\n";
}

std::string sharerecord(const std::string& settings, const std::vector<GalleryEntry>& finished)
{
    std::string text = settings + finishedline + "\n";
    for (const GalleryEntry& e : finished)
        text += std::to_string(e.index) + " " + exactdouble(e.lyapunov) + " " + exactdouble(e.dimension) + "\n";
    return text;
}

std::string sharesatodds(const std::string& folder, const std::string& settings)
{
    std::error_code error;
    std::vector<std::string> names;
    for (const auto& file : std::filesystem::directory_iterator(folder, error))
        if (issharerecordname(file.path().filename().string()))
            names.push_back(file.path().filename().string());
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        std::ifstream in(path(folder, name));
        const std::string why = difference(settingsof(in), settings);
        if (!why.empty())
            return name + " is a share of another gallery (" + why +
                "); this share is refused before it writes anything, so as not to mix two galleries in one folder";
    }
    return {};
}

JoinedShares joinshares(const std::string& folder, int parts, const std::string& settings, int entries)
{
    JoinedShares joined;
    for (int part = 1; part <= parts; ++part) {
        std::error_code error;
        if (!std::filesystem::exists(path(folder, sharerecordname(part, parts)), error))
            return joined;
    }
    joined.complete = true;
    std::vector<GalleryEntry> all(static_cast<std::size_t>(entries));
    std::vector<bool> found(all.size(), false);
    for (int part = 1; part <= parts; ++part) {
        const std::string name = sharerecordname(part, parts);
        const auto problem = [&](const std::string& why) {
            joined.problem = name + ": " + why;
            return joined;
        };
        std::ifstream in(path(folder, name));
        if (const std::string why = difference(settingsof(in), settings); !why.empty())
            return problem("not a share of this gallery (" + why + ")");
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            int index = 0;
            if (!(fields >> index) || index < 1 || index > entries)
                return problem("\"" + line + "\" names no entry");
            if (found[static_cast<std::size_t>(index - 1)])
                return problem("entry " + std::to_string(index) + " is named by two shares");
            const auto lyapunov = readdouble(fields);
            const auto dimension = readdouble(fields);
            if (!lyapunov || !dimension)
                return problem("\"" + line + "\" lacks the entry's measures");
            const std::string setfile = entryname(index) + ".dv3";
            const auto set = readset(path(folder, setfile));
            if (!set)
                return problem(setfile + " cannot be read");
            all[static_cast<std::size_t>(index - 1)] = GalleryEntry{
                index,    set->type + 1, set->set, *lyapunov, *dimension, VOXEL{set->xrot, set->yrot, set->zrot},
                set->back};
            found[static_cast<std::size_t>(index - 1)] = true;
        }
    }
    for (std::size_t k = 0; k < found.size(); ++k)
        if (!found[k]) {
            joined.problem = "no share names entry " + std::to_string(k + 1);
            return joined;
        }
    joined.entries = std::move(all);
    return joined;
}

} // namespace kt

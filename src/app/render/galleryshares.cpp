#include "app/render/galleryshares.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "files/paramfiles.h"

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

} // namespace

std::string sharerecordname(int part, int parts)
{
    return "part-" + std::to_string(part) + "-of-" + std::to_string(parts) + ".txt";
}

std::string sharerecord(std::uint32_t seed, int entries, const std::vector<GalleryEntry>& finished)
{
    std::string text = "seed " + std::to_string(seed) + " entries " + std::to_string(entries) + "\n";
    for (const GalleryEntry& e : finished)
        text += std::to_string(e.index) + " " + exactdouble(e.lyapunov) + " " + exactdouble(e.dimension) + "\n";
    return text;
}

JoinedShares joinshares(const std::string& folder, int parts, std::uint32_t seed, int entries)
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
    const std::string header = "seed " + std::to_string(seed) + " entries " + std::to_string(entries);
    for (int part = 1; part <= parts; ++part) {
        const std::string name = sharerecordname(part, parts);
        const auto problem = [&](const std::string& why) {
            joined.problem = name + ": " + why;
            return joined;
        };
        std::ifstream in(path(folder, name));
        std::string line;
        if (!std::getline(in, line) || line != header)
            return problem("not a share of this gallery (" + header + ")");
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

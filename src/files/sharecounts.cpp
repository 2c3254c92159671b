#include "files/sharecounts.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "files/atomicfile.h"
#include "files/saveerrors.h"

namespace kt {

namespace {

constexpr const char* magic = "ktdravune3d hit counts";
// Counts go through a buffer of this many at a time.
constexpr std::size_t piece = std::size_t{1} << 20;
// Where a float count stops counting.
constexpr std::uint64_t highestcount = std::uint64_t{1} << 24;

// Little-endian, so that a share drawn on one machine joins on any other.
std::uint32_t littleendian(std::uint32_t value)
{
    if constexpr (std::endian::native == std::endian::little)
        return value;
    else
        return ((value & 0xff) << 24) | ((value & 0xff00) << 8) | ((value >> 8) & 0xff00) | (value >> 24);
}

std::string header(const std::string& settings, double scale, int side)
{
    char text[128];
    // Hexadecimal, so that the scale comes back to the bit.
    std::snprintf(text, sizeof text, "%s\nside %d\nscale %a\nsettings %zu\n", magic, side, scale, settings.size());
    return text + settings;
}

} // namespace

int writesharecounts(const RenderContext& ctx, const std::string& path, const std::string& settings, double scale,
                     const float* hits, int side)
{
    AtomicFile file(ctx, path);
    if (!file.open())
        return saveopenfailed;
    const std::string head = header(settings, scale, side);
    if (!file.write(head.data(), head.size()))
        return savewritefailed;
    std::vector<std::uint32_t> buffer;
    try {
        buffer.resize(piece);
    } catch (const std::bad_alloc&) {
        return savenomemory;
    }
    const std::size_t pixels = static_cast<std::size_t>(side) * side;
    for (std::size_t from = 0; from < pixels; from += piece) {
        const std::size_t count = std::min(piece, pixels - from);
        for (std::size_t k = 0; k < count; ++k)
            buffer[k] = littleendian(static_cast<std::uint32_t>(hits[from + k]));
        if (!file.write(buffer.data(), count * sizeof(std::uint32_t)))
            return savewritefailed;
    }
    return file.commit() ? savedone : savewritefailed;
}

SharedCounts addsharecounts(const std::string& path, const std::string& settings, int side, float* hits)
{
    SharedCounts read;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        read.problem = std::string("cannot be read (") + std::strerror(errno) + ")";
        return read;
    }
    std::string line, sideline, scaleline, sizeline;
    std::getline(in, line);
    std::getline(in, sideline);
    std::getline(in, scaleline);
    std::getline(in, sizeline);
    if (!in || line != magic || sideline.rfind("side ", 0) != 0 || scaleline.rfind("scale ", 0) != 0 ||
        sizeline.rfind("settings ", 0) != 0) {
        read.problem = "is not a share's hit counts";
        return read;
    }
    char* end = nullptr;
    read.scale = std::strtod(scaleline.c_str() + 6, &end);
    const unsigned long long size = std::strtoull(sizeline.c_str() + 9, nullptr, 10);
    std::string theirs(std::min<unsigned long long>(size, settings.size() + 1), '\0');
    in.read(theirs.data(), static_cast<std::streamsize>(theirs.size()));
    if (!in || theirs != settings || std::atoi(sideline.c_str() + 5) != side || *end != '\0') {
        read.problem = "holds the hit counts of other settings";
        return read;
    }
    const std::streamoff start = in.tellg();
    in.seekg(0, std::ios::end);
    const std::streamoff length = in.tellg();
    if (length != start + static_cast<std::streamoff>(sharecountsbytes(side))) {
        read.problem = length < start + static_cast<std::streamoff>(sharecountsbytes(side))
            ? "is cut short"
            : "is longer than the hit counts it should hold";
        return read;
    }
    in.seekg(start);
    std::vector<std::uint32_t> buffer;
    try {
        buffer.resize(piece);
    } catch (const std::bad_alloc&) {
        read.problem = "not enough memory to read it";
        return read;
    }
    const std::size_t pixels = static_cast<std::size_t>(side) * side;
    for (std::size_t from = 0; from < pixels; from += piece) {
        const std::size_t count = std::min(piece, pixels - from);
        if (!in.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(count * sizeof(std::uint32_t)))) {
            read.problem = "cannot be read to its end";
            return read;
        }
        for (std::size_t k = 0; k < count; ++k) {
            const std::uint64_t sum = static_cast<std::uint64_t>(hits[from + k]) + littleendian(buffer[k]);
            hits[from + k] = static_cast<float>(std::min(sum, highestcount));
        }
    }
    return read;
}

} // namespace kt

#include "files/paramfiles.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "files/atomicfile.h"
#include "engine/filenames.h"
#include "files/saveerrors.h"

namespace kt {

namespace {

// The records are little-endian with no gaps; each field is copied to or from
// its offset.
template <typename T>
void put(std::uint8_t* bytes, std::size_t offset, const T& value, std::size_t width = sizeof(T))
{
    std::memcpy(bytes + offset, &value, width);
}

template <typename T>
T get(const std::uint8_t* bytes, std::size_t offset, std::size_t width = sizeof(T))
{
    T value{};
    std::memcpy(&value, bytes + offset, width);
    return value;
}

constexpr std::size_t extendedwidth = 10; // the 80-bit format without its padding
constexpr std::size_t angleoffsets[3] = {100, 110, 120};

void putset(std::uint8_t* bytes, std::size_t offset, const ICON& set)
{
    put(bytes, offset, set.a);
    put(bytes, offset + 8, set.b);
    put(bytes, offset + 16, set.c);
    put(bytes, offset + 24, set.d);
    put(bytes, offset + 32, set.e);
    put(bytes, offset + 40, set.n);
    put(bytes, offset + 44, set.p);
    put(bytes, offset + 48, set.scale);
    put(bytes, offset + 56, set.xstart);
    put(bytes, offset + 64, set.ystart);
    put(bytes, offset + 72, set.zstart);
}

ICON getset(const std::uint8_t* bytes, std::size_t offset)
{
    ICON set{};
    set.a = get<double>(bytes, offset);
    set.b = get<double>(bytes, offset + 8);
    set.c = get<double>(bytes, offset + 16);
    set.d = get<double>(bytes, offset + 24);
    set.e = get<double>(bytes, offset + 32);
    set.n = get<std::int32_t>(bytes, offset + 40);
    set.p = get<std::int32_t>(bytes, offset + 44);
    set.scale = get<double>(bytes, offset + 48);
    set.xstart = get<double>(bytes, offset + 56);
    set.ystart = get<double>(bytes, offset + 64);
    set.zstart = get<double>(bytes, offset + 72);
    return set;
}

// Reads up to `size` bytes; how many came is the caller's to judge.
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

bool readrecord(const std::string& path, std::uint8_t* bytes, std::size_t size, std::size_t* got)
{
    std::unique_ptr<std::FILE, FileCloser> in(std::fopen(path.c_str(), "rb"));
    if (!in)
        return false;
    *got = std::fread(bytes, 1, size, in.get());
    return !std::ferror(in.get());
}

// An angle as only the program writes them: 0 to 360, in the one encoding
// the processor gives a number (the 80-bit format also has unnormal, pseudo-
// denormal and pseudo-infinite forms, which it refuses to compute with or
// reads as another value).
bool soundangle(const std::uint8_t* bytes)
{
    const auto significand = get<std::uint64_t>(bytes, 0);
    const auto exponent = static_cast<unsigned>(get<std::uint16_t>(bytes, 8) & 0x7FFF);
    const bool integerbit = (significand >> 63) != 0;
    const bool canonical = exponent == 0 ? !integerbit : exponent != 0x7FFF && integerbit;
    const real angle = get<real>(bytes, 0, extendedwidth);
    return canonical && angle >= 0 && angle <= maxangle;
}

bool isformula(std::int32_t type)
{
    return type == 0 || type == 1;
}

// A scale of 0, below it or not a number draws every point off the picture
// or onto one pixel: a picture of one colour that nothing would explain.
bool soundscale(const ICON& set)
{
    return std::isfinite(set.scale) && set.scale > 0;
}

void applyset(EngineState& s, int type, const ICON& set, std::uint32_t back, int red, int green, int blue,
              const VOXEL& angles)
{
    s.type = type;
    s.icon[type] = set;
    s.back = back;
    s.red = red;
    s.green = green;
    s.blue = blue;
    s.rot[type] = angles;
}

int loaddv3record(EngineState& s, const std::string& path)
{
    std::uint8_t bytes[dv3size];
    std::size_t got = 0;
    if (!readrecord(path, bytes, dv3size, &got))
        return loadopenfailed;
    if (got < dv3size)
        return loadtooshort;
    const DV3 record = decodedv3(bytes);
    if (!isformula(record.type))
        return loadwrongformula;
    if (!degreesbounded(record.set))
        return loadunbounded;
    if (!soundscale(record.set))
        return loadbadscale;
    for (std::size_t offset : angleoffsets)
        if (!soundangle(bytes + offset))
            return loadbadangle;
    applyset(s, record.type, record.set, record.back, record.red, record.green, record.blue,
             VOXEL{record.xrot, record.yrot, record.zrot});
    return loaddone;
}

int loaddvrecord(EngineState& s, const std::string& path)
{
    std::uint8_t bytes[dvsize];
    std::size_t got = 0;
    if (!readrecord(path, bytes, dvsize, &got))
        return loadopenfailed;
    if (got < dvsize)
        return loadtooshort;
    const auto type = get<std::int32_t>(bytes, 0);
    if (!isformula(type))
        return loadwrongformula;
    ICON set{};
    set.a = get<double>(bytes, 4);
    set.b = get<double>(bytes, 12);
    set.c = get<double>(bytes, 20);
    set.d = get<double>(bytes, 28);
    set.e = get<double>(bytes, 36);
    set.n = get<std::int32_t>(bytes, 52);
    set.p = get<std::int32_t>(bytes, 56);
    set.scale = get<double>(bytes, 60);
    set.xstart = get<double>(bytes, 68);
    set.ystart = get<double>(bytes, 76);
    set.zstart = 0.1;
    if (!degreesbounded(set))
        return loadunbounded;
    if (!soundscale(set))
        return loadbadscale;
    applyset(s, type, set, get<std::uint32_t>(bytes, 84), get<std::int32_t>(bytes, 88), get<std::int32_t>(bytes, 92),
             get<std::int32_t>(bytes, 96), VOXEL{0, 0, 0});
    return loaddone;
}

bool isdv3path(const std::string& path)
{
    return !path.empty() && path.back() == '3';
}

} // namespace

std::array<std::uint8_t, dv3size> encodedv3(const DV3& record)
{
    std::array<std::uint8_t, dv3size> bytes{};
    put(bytes.data(), 0, record.type);
    putset(bytes.data(), 4, record.set);
    put(bytes.data(), 84, record.back);
    put(bytes.data(), 88, record.red);
    put(bytes.data(), 92, record.green);
    put(bytes.data(), 96, record.blue);
    put(bytes.data(), angleoffsets[0], record.xrot, extendedwidth);
    put(bytes.data(), angleoffsets[1], record.yrot, extendedwidth);
    put(bytes.data(), angleoffsets[2], record.zrot, extendedwidth);
    return bytes;
}

DV3 decodedv3(const std::uint8_t* bytes)
{
    DV3 record{};
    record.type = get<std::int32_t>(bytes, 0);
    record.set = getset(bytes, 4);
    record.back = get<std::uint32_t>(bytes, 84);
    record.red = get<std::int32_t>(bytes, 88);
    record.green = get<std::int32_t>(bytes, 92);
    record.blue = get<std::int32_t>(bytes, 96);
    record.xrot = get<real>(bytes, angleoffsets[0], extendedwidth);
    record.yrot = get<real>(bytes, angleoffsets[1], extendedwidth);
    record.zrot = get<real>(bytes, angleoffsets[2], extendedwidth);
    return record;
}

DV3 dv3record(const EngineState& s)
{
    const VOXEL& angles = s.rot[s.type];
    return DV3{s.type, s.icon[s.type], s.back, s.red, s.green, s.blue, angles.x, angles.y, angles.z};
}

DV3 dv3record(const Picture& p)
{
    const COLORREF back = p.background;
    return DV3{p.formula - 1,    p.set,          back, GetRValue(back), GetGValue(back), GetBValue(back),
               p.rotation.x, p.rotation.y, p.rotation.z};
}

int writedv3(const RenderContext& ctx, const std::string& path, const DV3& record)
{
    const auto bytes = encodedv3(record);
    AtomicFile out(ctx, path);
    if (!out.open())
        return saveopenfailed;
    if (!out.write(bytes.data(), bytes.size()) || !out.commit())
        return savewritefailed;
    return savedone;
}

int writedv3(const RenderContext& ctx, const EngineState& s, FileNames& names, int option)
{
    if (option == 1) {
        std::string derived = names.tgafile;
        derived.replace(derived.size() >= 3 ? derived.size() - 3 : 0, 3, "dv3");
        names.sdv3file = derived;
    }
    if (const int code = writedv3(ctx, names.sdv3file, dv3record(s)); code != savedone)
        return code;
    names.sdv3filetitle = baretitle(names.sdv3file);
    return savedone;
}

int loaddv3(EngineState& s, const std::string& path)
{
    return isdv3path(path) ? loaddv3record(s, path) : loaddvrecord(s, path);
}

int loaddv3(Picture& p, const std::string& path)
{
    EngineState s;
    applypicture(p, s);
    const int code = loaddv3(s, path);
    if (code == loaddone) {
        p.formula = s.type + 1;
        p.set = s.icon[s.type];
        p.rotation = s.rot[s.type];
        p.background = s.back;
    }
    return code;
}

LoadMessage loaderror(int code, const std::string& path)
{
    const bool dv3 = isdv3path(path);
    switch (code) {
    case loadopenfailed:
        return {"Error opening DV3 file", "DV3 file error"};
    case loadwrongformula:
        return {dv3 ? "DV3 parameter set must be for\n   Icons 1 or Icons 2 formulae."
                    : "DV parameter set must be for\n   Icons 1 or Icons 2 formulae.",
                dv3 ? "DV3 file error" : "DV file error"};
    case loadtooshort:
        return {dv3 ? "The file is too short to hold\n   a DV3 parameter set."
                    : "The file is too short to hold\n   a DV parameter set.",
                dv3 ? "DV3 file error" : "DV file error"};
    case loadunbounded: {
        char text[160];
        std::snprintf(text, sizeof text,
                      "The parameter set's n or p is too large:\n   n may be at most %lld, and p and n x p\n   at most "
                      "%lld, in size.",
                      maxdegree, maxphasepower);
        return {text, dv3 ? "DV3 file error" : "DV file error"};
    }
    case loadbadscale:
        return {"The parameter set's scale must be\n   a positive number.", dv3 ? "DV3 file error" : "DV file error"};
    case loadbadangle:
        return {"The parameter set's rotation angles must be\n   numbers from 0 to 360 degrees.", "DV3 file error"};
    default:
        return {"", ""};
    }
}

} // namespace kt

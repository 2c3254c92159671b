#include "app/render/turntableshares.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/render/galleryshares.h"
#include "files/paramfiles.h"

namespace kt {

namespace {

namespace fs = std::filesystem;

std::string hex(const std::uint8_t* bytes, std::size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t k = 0; k < size; ++k) {
        text += digits[bytes[k] >> 4];
        text += digits[bytes[k] & 15];
    }
    return text;
}

// Hexadecimal floating point: two settings are the same only to the bit.
std::string exact(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%a", value);
    return text;
}

// A share's record of any count of shares: "part-2-of-3.txt".
bool recordname(const std::string& name)
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

std::string readtext(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

std::string shareframesfolder(const std::string& animation)
{
    return animation + ".parts";
}

std::string joiningfolder(const std::string& animation)
{
    return animation + ".joining";
}

std::string turntablesettings(const EngineState& s, const RenderOptions& o)
{
    const auto set = encodedv3(dv3record(s));
    std::string text = std::string("ktdravune3d-render ") + KT_VERSION + " turntable\n";
    text += "frames " + std::to_string(o.turntable) + " spin " + "XYZ"[o.spin.value_or(Y)] + " fps " +
        std::to_string(o.fps.value_or(30)) + " quality " + (o.quality ? std::to_string(*o.quality) : "lossless") + "\n";
    text += "size " + std::to_string(framewidth(o)) + "x" + std::to_string(frameheight(o)) + " supersample " +
        std::to_string(o.supersample) + " iterations " + std::to_string(o.iterations) + " fit " +
        (o.fit ? exact(o.margin) : "no") + (o.orbits > 1 ? " orbits " + std::to_string(o.orbits) : "") + "\n";
    text += "coloring " + std::to_string(o.cmethod) + " order " + std::to_string(s.rotationorder) + " filter " +
        o.filter + " nadjust " + std::to_string(o.nadjust) + "\n";
    text += "tone " +
        (o.density ? std::string(tonename(o)) + " " + exact(o.brightness) + " " + exact(o.gamma) +
                 (o.transparent ? " clear" : " opaque")
                   : std::string("hit")) +
        "\n";
    text += "set " + hex(set.data(), set.size()) + "\n";
    text += "palette " + hex(s.palette.data(), s.palette.size()) + "\n";
    return text;
}

void startshare(const std::string& folder, int part, int parts, const std::string& settings)
{
    std::error_code error;
    fs::remove(fs::path(folder) / sharerecordname(part, parts), error);
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (recordname(entry.path().filename().string()) && readtext(entry.path()) != settings)
            fs::remove(entry.path(), error);
    }
}

bool sharesfinished(const std::string& folder, int parts, const std::string& settings)
{
    for (int part = 1; part <= parts; ++part)
        if (readtext(fs::path(folder) / sharerecordname(part, parts)) != settings)
            return false;
    return true;
}

} // namespace kt

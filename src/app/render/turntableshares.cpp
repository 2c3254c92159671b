#include "app/render/turntableshares.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/render/galleryshares.h"
#include "files/paramfiles.h"

namespace kt {

namespace {

namespace fs = std::filesystem;

// Hexadecimal floating point: two settings are the same only to the bit.
std::string exact(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%a", value);
    return text;
}

std::string readtext(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

FolderClaim::FolderClaim(const std::string& folder)
{
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        missing_ = errno == ENOENT;
        return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

FolderClaim::~FolderClaim()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::string takebackjoin(const std::string& joining, const std::string& folder, const std::string& animation)
{
    std::error_code error;
    fs::create_directories(folder, error);
    for (const auto& entry : fs::directory_iterator(joining, error)) {
        const fs::path to = fs::path(folder) / entry.path().filename();
        std::error_code ignored;
        if (!fs::exists(to, ignored))
            fs::rename(entry.path(), to, error);
        if (error)
            return error.message();
    }
    if (error)
        return error.message();
    // AtomicFile's temporary: ".turn.webp." and six characters.
    const fs::path target(animation);
    std::string temporary = ".";
    temporary.append(target.filename().string()).append(".");
    const fs::path beside = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    for (const auto& entry : fs::directory_iterator(beside, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == temporary.size() + 6 && name.rfind(temporary, 0) == 0) {
            std::error_code ignored;
            fs::remove(entry.path(), ignored);
        }
    }
    fs::remove_all(joining, error);
    return error ? error.message() : std::string();
}

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
    text += "set " + hextext(set.data(), set.size()) + "\n";
    text += "palette " + hextext(s.palette.data(), s.palette.size()) + "\n";
    return text;
}

void startshare(const std::string& folder, int part, int parts, const std::string& settings)
{
    std::error_code error;
    fs::remove(fs::path(folder) / sharerecordname(part, parts), error);
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (issharerecordname(entry.path().filename().string()) && readtext(entry.path()) != settings)
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

#include "app/render/shares/turntableshares.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/render/shares/galleryshares.h"
#include "files/paramfiles.h"

namespace kt {

namespace {

namespace fs = std::filesystem;

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

std::string turntablesettings(const Picture& p, const Palette& colours, int frames, Axis spin, int fps,
                              std::optional<int> quality)
{
    return std::string("ktdravune3d-render ") + KT_VERSION + " turntable\nframes " + std::to_string(frames) +
        " spin " + "XYZ"[spin] + " fps " + std::to_string(fps) + " quality " +
        (quality ? std::to_string(*quality) : "lossless") + "\n" + recordedpicture(p, colours);
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

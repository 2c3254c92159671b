#include "app/render/shares/sharefolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

#include "app/render/shares/galleryshares.h"
#include "files/atomicfile.h"

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

std::string takebackjoin(const std::string& joining, const std::string& folder, const std::string& output)
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
    const fs::path target(output);
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

std::string sharesfolder(const std::string& output)
{
    return output + ".parts";
}

std::string joiningfolder(const std::string& output)
{
    return output + ".joining";
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

ShareFolder::ShareFolder(RenderContext& ctx, std::string output, int part, int parts, std::string settings,
                         Names names)
    : ctx_(ctx), output_(std::move(output)), part_(part), parts_(parts), settings_(std::move(settings)),
      names_(std::move(names)), folder_(sharesfolder(output_))
{
}

OutputFailure ShareFolder::prepare(const std::string& first)
{
    // Whichever share finishes last writes the output: each finds out now
    // whether it could.
    if (const int err = AtomicFile::trial(output_))
        return {saveopenfailed, output_, err, {}};
    // Work being joined, or left by a share stopped while joining, would
    // keep this share's from ever being joined. A join whose share is gone
    // is taken back, so that this share, once drawn, joins every share's
    // work as that one would have.
    if (const std::string joining = joiningfolder(output_); fs::exists(joining)) {
        const FolderClaim claim(joining);
        if (!claim.held() && !claim.missing())
            return {saveopenfailed, joining, 0,
                    "holds the " + names_.kept + " another share is joining into " + output_ +
                        " now; this share is not needed, as that one writes " + names_.made};
        if (claim.held())
            if (const std::string why = takebackjoin(joining, folder_, output_); !why.empty())
                return {saveopenfailed, joining, 0,
                        "holds the " + names_.kept + " of a join that was stopped, and they cannot be taken back (" +
                            why + ")"};
    }
    if (const OutputFailure made = makefolder(folder_, first); made.failed())
        return made;
    startshare(folder_, part_, parts_, settings_);
    return {};
}

OutputFailure ShareFolder::finish(const std::function<OutputFailure(const std::string&)>& write)
{
    // The record follows the share's work, and the output follows the last
    // record: each share looks for all of them once its own is written.
    const std::string record = (fs::path(folder_) / sharerecordname(part_, parts_)).string();
    AtomicFile file(ctx_, record);
    if (!file.open())
        return {saveopenfailed, record, file.error(), {}};
    if (!file.write(settings_.data(), settings_.size()) || !file.commit())
        return {savewritefailed, record, file.error(), {}};
    if (!sharesfinished(folder_, parts_, settings_))
        return {};
    return join(write);
}

// Renaming the folder is the claim: of shares that finish at once, one
// takes it, and the others find it gone and leave the output to it.
OutputFailure ShareFolder::join(const std::function<OutputFailure(const std::string&)>& write)
{
    const std::string joining = joiningfolder(output_);
    // Claimed before the rename and held until the end, so that a share
    // finding the joining folder can tell whether its joiner still runs.
    const FolderClaim claim(folder_);
    if (!claim.held())
        return {}; // another share is taking them
    std::error_code error;
    fs::rename(folder_, joining, error);
    if (error == std::errc::no_such_file_or_directory)
        return {};
    if (error)
        return {saveopenfailed, joining, 0,
                "cannot take the " + names_.kept + " to join them (" + error.message() + ")"};
    // A share that started before the folder was taken removed its own
    // record first: only finished shares' work is joined.
    if (!sharesfinished(joining, parts_, settings_)) {
        giveback(joining);
        return {};
    }
    if (const OutputFailure written = write(joining); written.failed()) {
        giveback(joining);
        return written;
    }
    joined_ = true;
    fs::remove_all(joining, error);
    if (error)
        note_ = "the " + names_.kept + " joined into " + output_ + " stay in " + joining + ": " + error.message();
    return {};
}

void ShareFolder::giveback(const std::string& joining)
{
    std::error_code ignored;
    fs::rename(joining, folder_, ignored);
}

} // namespace kt

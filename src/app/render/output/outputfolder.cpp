#include "app/render/output/outputfolder.h"

#include <filesystem>

#include "files/atomicfile.h"

namespace kt {

std::string whynotafolder(const std::string& path)
{
    namespace fs = std::filesystem;
    // The name without its trailing slashes, so that a link is seen as one.
    std::string name = path;
    while (name.size() > 1 && name.back() == '/')
        name.pop_back();
    std::error_code error;
    const fs::file_status entry = fs::symlink_status(name, error);
    if (entry.type() == fs::file_type::not_found || fs::is_directory(fs::status(name, error)))
        return {};
    if (fs::is_symlink(entry) && !fs::exists(fs::status(name, error)))
        return "a symbolic link to " + fs::read_symlink(name, error).string() + ", which does not exist";
    return "not a folder";
}

OutputFailure makefolder(const std::string& folder, const std::string& first)
{
    if (const std::string why = whynotafolder(folder); !why.empty())
        return {saveopenfailed, folder, 0, why};
    // Shares of one output may make the folder at the same moment.
    std::error_code error;
    std::filesystem::create_directory(folder, error);
    if (error)
        return {saveopenfailed, folder, error.value(), {}};
    // A folder that exists may still refuse files.
    if (const int err = AtomicFile::trial(first))
        return {saveopenfailed, first, err, {}};
    return {};
}

} // namespace kt

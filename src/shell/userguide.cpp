#include "shell/userguide.h"

#include <filesystem>

namespace kt {

std::string userguidepath()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    const std::filesystem::path folder = program.parent_path();
    for (const std::filesystem::path& candidate :
         {folder / "KT Dravune 3D.pdf", folder.parent_path() / "share/doc/ktdravune3d/KT Dravune 3D.pdf"})
        if (std::filesystem::is_regular_file(candidate, error))
            return candidate.string();
    return {};
}

} // namespace kt

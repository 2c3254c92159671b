#pragma once
// The user's configuration folder, for a program run under test: a scratch
// folder of the process, so that no test reads or changes the real one.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace kt::testing {

inline void usescratchconfig()
{
    std::string name = "kt-config-";
    name += std::to_string(::getpid());
    const auto folder = std::filesystem::temp_directory_path() / name;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
}

} // namespace kt::testing

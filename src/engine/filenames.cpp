#include "engine/filenames.h"

namespace kt {

std::string baretitle(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace kt

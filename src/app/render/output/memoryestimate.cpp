#include "app/render/output/memoryestimate.h"

#include <sys/resource.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "app/render/output/picturebudget.h"

namespace kt {

std::uint64_t picturebytes(const Picture& p)
{
    const std::uint64_t side = static_cast<std::uint64_t>(renderside(p));
    // The depth tone keeps a depth sum beside each hit count.
    const std::uint64_t hits = side * side * sizeof(float) * (p.tone == Tone::depth ? 2 : 1);
    // And the picture drawn beside them, then the file's rows and encoding.
    if (p.tone == Tone::hit)
        return hits + side * side * 4 + side * side * pngbytesperpixel;
    const std::uint64_t pixels = static_cast<std::uint64_t>(p.width) * p.height;
    // The 16-bit picture, its file's rows, and the compressed file at worst as large.
    const std::uint64_t rows = pixels * 4 * (p.depth / 8);
    return hits + pixels * 8 + 2 * rows;
}

std::optional<std::uint64_t> availablebytes()
{
    std::optional<std::uint64_t> available;
    std::ifstream meminfo("/proc/meminfo");
    for (std::string line; std::getline(meminfo, line);) {
        std::istringstream fields(line);
        std::string name;
        std::uint64_t kib = 0;
        if (fields >> name >> kib && name == "MemAvailable:") {
            available = kib * 1024;
            break;
        }
    }
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        const std::uint64_t space = limit.rlim_cur;
        available = available ? std::min(*available, space) : space;
    }
    return available;
}

std::optional<std::uint64_t> addressspaceleft()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::nullopt;
    std::uint64_t mapped = 0;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmSize:", 0) == 0)
            mapped = std::stoull(line.substr(7)) * 1024;
    const std::uint64_t space = limit.rlim_cur;
    return space > mapped ? space - mapped : 0;
}

std::uint64_t threadbytes()
{
    // Its stack's limit, and a mebibyte more for what else a thread holds.
    rlimit stack{};
    const std::uint64_t stackbytes = getrlimit(RLIMIT_STACK, &stack) == 0 && stack.rlim_cur != RLIM_INFINITY
        ? stack.rlim_cur
        : std::uint64_t{8} << 20;
    return stackbytes + (std::uint64_t{1} << 20);
}

int threadsthatfit(int wanted, std::uint64_t needed, std::optional<std::uint64_t> left)
{
    if (!left || wanted <= 1)
        return std::max(wanted, 1);
    const std::uint64_t perthread = threadbytes();
    if (*left <= needed)
        return 1;
    const std::uint64_t spare = (*left - needed) / perthread;
    return static_cast<int>(std::min<std::uint64_t>(static_cast<std::uint64_t>(wanted), spare + 1));
}

std::string memoryrefusal(std::uint64_t needed, std::optional<std::uint64_t> available)
{
    if (!available || needed <= *available)
        return {};
    const auto mib = [](std::uint64_t bytes) { return std::to_string((bytes + (1u << 20) - 1) >> 20); };
    return "this picture needs about " + mib(needed) + " MiB of memory and " + mib(*available) +
        " MiB are available: choose a smaller --size or --supersample";
}

} // namespace kt

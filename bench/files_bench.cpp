// Writing a 4000 x 4000 TGA against one plain write of the same number of
// bytes to the same folder.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <vector>

#include "base/program.h"
#include "engine/enginestate.h"
#include "engine/filenames.h"
#include "files/tga.h"
#include "base/surface.h"

namespace {

using namespace kt;

constexpr int side = 4000;
constexpr std::size_t tgabytes = 44 + 3 * static_cast<std::size_t>(side) * side;

std::string scratch(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

double plainwrite(const std::vector<char>& bytes, const std::string& path)
{
    const auto start = std::chrono::steady_clock::now();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_WriteTga(benchmark::State& state)
{
    program().reset();
    engine.res = side;
    Surface image(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.setpixel(x, y, RGB(x, y, x ^ y));
    filenames.tgafile = scratch("kt-bench.tga");
    const std::vector<char> bytes(tgabytes, 7);
    const std::string plainpath = scratch("kt-bench.raw");

    double tgaseconds = 0, plainseconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(writetga(&image));
        tgaseconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        plainseconds += plainwrite(bytes, plainpath);
    }
    state.counters["tga_over_plain"] = tgaseconds / plainseconds;
    state.counters["tga_MB_per_s"] = static_cast<double>(tgabytes) * static_cast<double>(state.iterations()) / tgaseconds / 1e6;
    std::filesystem::remove(filenames.tgafile);
    std::filesystem::remove(plainpath);
    program().reset();
}
BENCHMARK(BM_WriteTga)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();

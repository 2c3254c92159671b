// Writing a 4000 x 4000 TGA against one plain write of the same number of
// bytes to the same folder; writing a rendered 4000 x 4000 PNG on 1 and 2
// threads against libpng's writer, which the program once used.
#include <benchmark/benchmark.h>
#include <png.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <vector>

#include "engine/driver.h"
#include "engine/enginestate.h"
#include "engine/rendercontext.h"
#include "engine/filenames.h"
#include "files/png.h"
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
    Surface image(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.setpixel(x, y, RGB(x, y, x ^ y));
    const std::string tgafile = scratch("kt-bench.tga");
    const std::vector<char> bytes(tgabytes, 7);
    const std::string plainpath = scratch("kt-bench.raw");
    RenderContext ctx;

    double tgaseconds = 0, plainseconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(writetga(ctx, &image, side, tgafile));
        tgaseconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        plainseconds += plainwrite(bytes, plainpath);
    }
    state.counters["tga_over_plain"] = tgaseconds / plainseconds;
    state.counters["tga_MB_per_s"] = static_cast<double>(tgabytes) * static_cast<double>(state.iterations()) /
        tgaseconds / 1e6;
    std::filesystem::remove(tgafile);
    std::filesystem::remove(plainpath);
}
BENCHMARK(BM_WriteTga)->Unit(benchmark::kMillisecond)->Iterations(10);

// The earlier encoder: libpng's simplified writer, zlib at its default level.
std::vector<png_byte> libpngencoded(const Surface& image)
{
    png_image description{};
    description.version = PNG_IMAGE_VERSION;
    description.width = static_cast<png_uint_32>(image.width());
    description.height = static_cast<png_uint_32>(image.height());
    description.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(3 * static_cast<std::size_t>(image.width()) * image.height());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const COLORREF colour = image.getpixel(x, y);
            png_byte* pixel = &rgb[3 * (static_cast<std::size_t>(y) * image.width() + x)];
            pixel[0] = static_cast<png_byte>(GetRValue(colour));
            pixel[1] = static_cast<png_byte>(GetGValue(colour));
            pixel[2] = static_cast<png_byte>(GetBValue(colour));
        }
    png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(description);
    std::vector<png_byte> encoded(size);
    png_image_write_to_memory(&description, encoded.data(), &size, 0, rgb.data(), 0, nullptr);
    encoded.resize(size);
    return encoded;
}

// writepng on 1 or 2 threads against libpng's writer on one, on a picture
// rendered as a print would be: time and size as ratios within the run.
void BM_WritePng(benchmark::State& state)
{
    // 20M steps of the built-in set, as a print of that size is rendered.
    Surface image(side, side);
    EngineState engine;
    engine.res = side;
    engine.g_vhdc = &image;
    engine.newimage = 1;
    RenderContext rendering;
    for (int batch = 0; batch < 20000; ++batch)
        imagebatch(rendering, engine);
    const std::string path = scratch("kt-bench.png");
    RenderContext ctx(static_cast<int>(state.range(0)));

    double pngseconds = 0, libpngseconds = 0;
    std::size_t pngbytes = 0, libpngbytes = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(writepng(ctx, image, path));
        pngseconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        pngbytes = std::filesystem::file_size(path);
        start = std::chrono::steady_clock::now();
        libpngbytes = libpngencoded(image).size();
        libpngseconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double raw = 3.0 * side * side * static_cast<double>(state.iterations());
    state.counters["png_MB_per_s"] = raw / pngseconds / 1e6;
    state.counters["libpng_MB_per_s"] = raw / libpngseconds / 1e6;
    state.counters["png_over_libpng_time"] = pngseconds / libpngseconds;
    state.counters["png_over_libpng_size"] = static_cast<double>(pngbytes) / static_cast<double>(libpngbytes);
    std::filesystem::remove(path);
}
BENCHMARK(BM_WritePng)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();

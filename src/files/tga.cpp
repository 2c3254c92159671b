#include "files/tga.h"

#include <algorithm>
#include <bit>

#include "engine/enginestate.h"
#include "files/atomicfile.h"
#include "base/memory.h"

namespace kt {

static_assert(std::endian::native == std::endian::little, "the TGA records are written as they lie in memory");

namespace {

TGAHEADER tgaheader(int width, int height)
{
    TGAHEADER header{};
    header.imagetype = 2;
    header.width = static_cast<std::uint16_t>(width);
    header.height = static_cast<std::uint16_t>(height);
    header.bits = 24;
    header.descriptor = 0x20; // top row first
    return header;
}

TGAFOOTER tgafooter()
{
    return TGAFOOTER{0, 0, "TRUEVISION-XFILE."};
}

// Nothing else may start while the rows are read and written.
class BusyWhileWriting {
public:
    explicit BusyWhileWriting(Presentation& shown) : shown_(shown) { shown_.beginwriting(); }
    ~BusyWhileWriting() { shown_.endwriting(); }
    BusyWhileWriting(const BusyWhileWriting&) = delete;
    BusyWhileWriting& operator=(const BusyWhileWriting&) = delete;

private:
    Presentation& shown_;
};

// Row j as blue, green, red bytes. Pixels the surface does not hold (a
// surface smaller than the image) are written black.
void storerow(const Surface* image, int j, int width, std::uint8_t* line)
{
    const int inside = image && j < image->height() ? std::min(width, image->width()) : 0;
    const std::uint32_t* row = inside ? image->bits() + static_cast<std::size_t>(j) * image->width() : nullptr;
    for (int i = 0; i < inside; ++i) {
        const std::uint32_t pixel = row[i]; // 0xFFRRGGBB
        line[3 * i] = static_cast<std::uint8_t>(pixel);
        line[3 * i + 1] = static_cast<std::uint8_t>(pixel >> 8);
        line[3 * i + 2] = static_cast<std::uint8_t>(pixel >> 16);
    }
    std::fill(line + 3 * inside, line + 3 * width, std::uint8_t{0});
}

int writetga(RenderContext& ctx, const Surface* image, int width, int height, const std::string& path)
{
    AtomicFile out(ctx, path);
    if (!out.open())
        return saveopenfailed;

    const TGAHEADER header = tgaheader(width, height);
    const TGAFOOTER footer = tgafooter();
    const std::size_t linebytes = 3 * static_cast<std::size_t>(width);
    const LocalArray<std::uint8_t> linebuffer = localarray<std::uint8_t>(linebytes);
    if (!linebuffer)
        return savenomemory;
    if (!out.write(&header, sizeof header))
        return savewritefailed;

    BusyWhileWriting busy(ctx.shown());
    std::uint8_t* line = linebuffer.get();
    for (int j = 0; j < height; ++j) {
        storerow(image, j, width, line);
        if (!out.write(line, linebytes))
            return savewritefailed;
    }
    // A file without its footer is not a complete picture, so its failure
    // counts like any other.
    if (!out.write(&footer, sizeof footer) || !out.commit())
        return savewritefailed;
    return savedone;
}

} // namespace

int writetga(RenderContext& ctx, const Surface* image, int res, const std::string& path)
{
    return writetga(ctx, image, res, res, path);
}

int writetga(RenderContext& ctx, const Surface& image, const std::string& path)
{
    return writetga(ctx, &image, image.width(), image.height(), path);
}

} // namespace kt

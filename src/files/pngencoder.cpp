#include "files/pngencoder.h"

#include <libdeflate.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <vector>

#include "base/memory.h"
#include "engine/rendercontext.h"
#include "files/atomicfile.h"
#include "files/pngfilter.h"
#include "files/saveerrors.h"

namespace kt {

namespace {

// libdeflate's level 4 deflates a rendered picture about as small as zlib's
// default level in a fifth of the time; higher levels cost much more time for
// a percent or two.
constexpr int deflatelevel = 4;
// Rows are filtered in bands of this many bytes or more: few enough handovers
// between threads, enough bands to share out on any picture worth sharing.
constexpr std::size_t bandbytes = 1 << 20;
// The largest IDAT chunk: any size is valid, and fewer chunks mean fewer CRCs.
constexpr std::size_t idatbytes = 1 << 20;

void putnumber(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void putchunk(std::vector<std::uint8_t>& out, const char* type, const std::uint8_t* data, std::size_t size)
{
    putnumber(out, static_cast<std::uint32_t>(size));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    if (size)
        out.insert(out.end(), data, data + size);
    putnumber(out, libdeflate_crc32(0, out.data() + start, out.size() - start));
}

std::vector<std::uint8_t> header(const PngLayout& layout)
{
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr;
    putnumber(ihdr, static_cast<std::uint32_t>(layout.width));
    putnumber(ihdr, static_cast<std::uint32_t>(layout.height));
    ihdr.insert(
        ihdr.end(),
        {static_cast<std::uint8_t>(layout.depth), static_cast<std::uint8_t>(layout.channels == 4 ? 6 : 2), 0, 0, 0});
    putchunk(out, "IHDR", ihdr.data(), ihdr.size());
    // sRGB, perceptual; the gAMA and cHRM that stand for it where a reader
    // knows no sRGB.
    const std::uint8_t intent = 0;
    std::vector<std::uint8_t> gamma;
    putnumber(gamma, 45455);
    std::vector<std::uint8_t> chromaticities;
    for (const std::uint32_t value : {31270u, 32900u, 64000u, 33000u, 30000u, 60000u, 15000u, 6000u})
        putnumber(chromaticities, value);
    if (layout.colourspace)
        putchunk(out, "gAMA", gamma.data(), gamma.size());
    putchunk(out, "sRGB", &intent, 1);
    if (layout.colourspace)
        putchunk(out, "cHRM", chromaticities.data(), chromaticities.size());
    return out;
}

// Each row after its filter's type byte; false when a band's rows could not
// be had.
bool filterrows(RenderContext& ctx, const PngLayout& layout, const PngRow& row, std::uint8_t* filtered)
{
    const int pixelbytes = layout.channels * layout.depth / 8;
    const std::size_t stride = static_cast<std::size_t>(layout.width) * pixelbytes;
    const int bandrows = static_cast<int>(std::max<std::size_t>(1, bandbytes / stride));
    const int bands = (layout.height + bandrows - 1) / bandrows;
    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    ctx.workers.run([&](int) {
        // The row being filtered, the one above it, room to try each filter
        // and the zeros that stand above the first row.
        LocalArray<std::uint8_t> rows = localarray<std::uint8_t>(4 * stride);
        if (!rows) {
            failed = true;
            return;
        }
        for (int band = next++; band < bands && !failed; band = next++) {
            const int first = band * bandrows;
            const int end = std::min(layout.height, first + bandrows);
            std::uint8_t* above = rows.get();
            std::uint8_t* current = rows.get() + stride;
            std::uint8_t* trial = rows.get() + 2 * stride;
            const std::uint8_t* zeros = rows.get() + 3 * stride;
            if (first > 0)
                row(first - 1, above);
            for (int y = first; y < end; ++y) {
                row(y, current);
                filterrow(current, y > 0 ? above : zeros, stride, pixelbytes, trial, filtered + (1 + stride) * y);
                std::swap(above, current);
            }
        }
    });
    return !failed;
}

} // namespace

int writepngfile(RenderContext& ctx, const PngLayout& layout, const PngRow& row, const std::string& path)
{
    // PNG has no empty picture; libpng's writer refused one the same way.
    if (layout.width <= 0 || layout.height <= 0)
        return savenomemory;
    const std::size_t stride = static_cast<std::size_t>(layout.width) * layout.channels * layout.depth / 8;
    const std::size_t filteredbytes = (1 + stride) * static_cast<std::size_t>(layout.height);
    LocalArray<std::uint8_t> filtered = localarray<std::uint8_t>(filteredbytes);
    if (!filtered || !filterrows(ctx, layout, row, filtered.get()))
        return savenomemory;

    std::unique_ptr<libdeflate_compressor, void (*)(libdeflate_compressor*)> compressor(
        libdeflate_alloc_compressor(deflatelevel), libdeflate_free_compressor);
    if (!compressor)
        return savenomemory;
    const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), filteredbytes);
    LocalArray<std::uint8_t> deflated = localarray<std::uint8_t>(bound);
    if (!deflated)
        return savenomemory;
    const std::size_t size = libdeflate_zlib_compress(compressor.get(), filtered.get(), filteredbytes, deflated.get(),
                                                      bound);
    filtered.reset();
    if (size == 0)
        return savenomemory;

    std::vector<std::uint8_t> file;
    try {
        file = header(layout);
        file.reserve(file.size() + size + (size / idatbytes + 2) * 12);
        for (std::size_t at = 0; at < size; at += idatbytes)
            putchunk(file, "IDAT", deflated.get() + at, std::min(idatbytes, size - at));
        putchunk(file, "IEND", nullptr, 0);
    } catch (const std::bad_alloc&) {
        return savenomemory;
    }
    deflated.reset();

    AtomicFile out(ctx, path);
    if (!out.open())
        return saveopenfailed;
    if (!out.write(file.data(), file.size()) || !out.commit())
        return savewritefailed;
    return savedone;
}

} // namespace kt

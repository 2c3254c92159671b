#include "files/mapsave.h"

#include <cstdio>

#include "files/atomicfile.h"
#include "files/saveerrors.h"

namespace kt {

int savemapfile(const RenderContext& ctx, const Palette& palette, const std::string& path)
{
    std::string text;
    for (std::size_t entry = 0; entry < 256; ++entry) {
        char line[16];
        const int length = std::snprintf(line, sizeof line, "%d %d %d\n", palette[3 * entry], palette[3 * entry + 1],
                                         palette[3 * entry + 2]);
        text.append(line, static_cast<std::size_t>(length));
    }
    AtomicFile file(ctx, path);
    if (!file.open())
        return saveopenfailed;
    if (!file.write(text.data(), text.size()) || !file.commit())
        return savewritefailed;
    return savedone;
}

} // namespace kt

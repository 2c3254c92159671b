#include "app/render/shares/turntableshares.h"

#include "app/render/shares/galleryshares.h"

namespace kt {

std::string turntablesettings(const Picture& p, const Palette& colours, int frames, Axis spin, int fps,
                              std::optional<int> quality)
{
    return std::string("ktdravune3d-render ") + KT_VERSION + " turntable\nframes " + std::to_string(frames) +
        " spin " + "XYZ"[spin] + " fps " + std::to_string(fps) + " quality " +
        (quality ? std::to_string(*quality) : "lossless") + "\n" + recordedpicture(p, colours);
}

} // namespace kt

#pragma once
// A picture drawn whole: its palette found, its steps drawn, its filter
// applied. What the batch renderer's stills and gallery entries are, and what
// a program that wants the counts or the pixels of one picture calls.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/surface.h"
#include "engine/enginestate.h"
#include "engine/manyorbits.h"
#include "engine/picture.h"

namespace kt {

class RenderContext;

struct PaletteChoice {
    std::optional<Palette> colours;
    std::string error; // why there are none: what went wrong with the file
};

// A built-in palette by its name, or a Fractint .map file's.
PaletteChoice picturepalette(const std::string& name);

// "" when the picture's filter applied (or it has none), else why it left the
// picture as drawn. Touches nothing but `s`, so pictures of separate states
// filter on separate threads.
std::string filterpicture(RenderContext& ctx, const Picture& p, EngineState& s);

struct RenderedPicture {
    OrbitsResult outcome = OrbitsResult::done;
    // The hit counts, the depth sums the depth tone keeps, and for the hit
    // tone the drawn image, which `image` owns.
    EngineState state;
    std::unique_ptr<Surface> image;
    // As drawn: with the scale the fit chose.
    Picture drawn;
    std::string unfiltered; // why the filter left the picture as drawn
};

// Draws p in the colours given into `into`, whose buffers it keeps from one
// picture to the next. The hit tone draws into `into.image`, made when there
// is none or it has another side; a tone keeps the counts alone. A share of
// many orbits draws only its orbits' counts, unfiltered: they are for
// joinpicture.
void renderpicture(RenderContext& ctx, const Picture& p, const Palette& colours, RenderedPicture& into,
                   const std::function<bool(std::uint64_t)>& going, OrbitShare share = {});

// The many-orbit picture p from the hit counts of all its shares, coloured
// and filtered as renderpicture draws it whole: addcounts(state) adds every
// share's counts into the state's cleared ones and sets the scale they were
// drawn at, or says why it cannot ("" when it did). Returns that reason, or
// "" with into.outcome saying whether the picture was had.
std::string joinpicture(RenderContext& ctx, const Picture& p, const Palette& colours, RenderedPicture& into,
                        const std::function<std::string(EngineState&)>& addcounts);

} // namespace kt

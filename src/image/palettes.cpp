#include "image/palettes.h"

#include "engine/enginestate.h"
#include "image/colourmapdata.h"

namespace kt {

namespace {

constexpr Palette greyramp()
{
    Palette table{};
    for (std::size_t k = 0; k < table.size(); ++k)
        table[k] = static_cast<std::uint8_t>(k / 3);
    return table;
}

constexpr Palette greymap = greyramp();

} // namespace

void genpalette(EngineState& s, const Palette& buffer)
{
    s.palette = buffer;
}

const std::vector<NamedPalette>& namedpalettes()
{
    static const std::vector<NamedPalette> names = {
        {"1", &defpal1},          {"2", &defpal2},          {"inferno", &infernomap},   {"magma", &magmamap},
        {"viridis", &viridismap}, {"cividis", &cividismap}, {"twilight", &twilightmap}, {"grey", &greymap},
        {"fire", &firemap},
    };
    return names;
}

const Palette* namedpalette(const std::string& name)
{
    for (const NamedPalette& named : namedpalettes())
        if (name == named.name)
            return named.table;
    return nullptr;
}

std::string palettenames()
{
    const auto& names = namedpalettes();
    std::string text;
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (k > 0)
            text += k + 1 == names.size() ? " or " : ", ";
        text += names[k].name;
    }
    return text;
}

} // namespace kt

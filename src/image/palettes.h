#pragma once
// Loading the current palette, and the palettes a user chooses by name.
#include <string>
#include <vector>

#include "engine/palette.h"

namespace kt {

// Makes a built-in table the current palette.
struct EngineState;
void genpalette(EngineState& s, const Palette& buffer);

// The built-in palettes by name: "1" and "2", then the perceptual colour
// maps, in the order menus and messages list them.
struct NamedPalette {
    const char* name;
    const Palette* table;
};
const std::vector<NamedPalette>& namedpalettes();

// The table of that name, or null.
const Palette* namedpalette(const std::string& name);

// The names, joined by ", " with a last "or", for messages.
std::string palettenames();

} // namespace kt

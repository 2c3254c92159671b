#pragma once
// The settings of a .webp turntable drawn in shares (--part K/N), each
// perhaps on another machine. An animation cannot be written a frame here and
// a frame there, so every share keeps its frames as lossless PNG files in the
// shares' folder beside the animation (see sharefolder.h), and the share that
// finds every share finished encodes the animation from them, as one run
// would have.
#include <optional>
#include <string>

#include "engine/enginestate.h"
#include "engine/picture.h"
#include "engine/rotation.h"

namespace kt {

// Everything that makes the frames' pixels and the animation's bytes, as
// text: the program's version, the turn, the steps, the tone and the set,
// palette and background as loaded (not the files' names, which may differ
// from machine to machine). Not the share, the threads or the output.
std::string turntablesettings(const Picture& p, const Palette& colours, int frames, Axis spin, int fps,
                              std::optional<int> quality);

} // namespace kt

#pragma once
// Parameter files: the 130-byte DV3 record (written and read) and the older
// 100-byte two-dimensional DV record (read only).
#include <array>
#include <cstdint>
#include <string>

#include "engine/enginestate.h"
#include "engine/filenames.h"
#include "engine/picture.h"

namespace kt {

class RenderContext;

constexpr std::size_t dv3size = 130;
constexpr std::size_t dvsize = 100;

struct DV3 {
    std::int32_t type;
    ICON set;
    std::uint32_t back;
    std::int32_t red, green, blue;
    real xrot, yrot, zrot;
};

std::array<std::uint8_t, dv3size> encodedv3(const DV3& record);
DV3 decodedv3(const std::uint8_t* bytes);

enum LoadResult {
    loaddone = 0,
    loadopenfailed = 1,
    loadwrongformula = 2, // a formula other than Icons 1 or Icons 2
    loadtooshort = 3,     // the file ends before its record does
    loadunbounded = 4,    // n or p would make one formula step unbounded
    loadbadangle = 5,     // a rotation angle that is not a number from 0 to 360
    loadbadscale = 6,     // a scale that is not a positive finite number
};

// The angles --rotate and the Rotation dialog take, in degrees.
constexpr int maxangle = 360;

// The record of a state's current formula: its set, the background and its
// angles.
DV3 dv3record(const EngineState& s);
// The record of a picture: its formula's set, its background and its angles.
DV3 dv3record(const Picture& p);

// Writes `record` to `path`: 0 or a save-error code; the file it replaces
// survives any failure.
int writedv3(const RenderContext& ctx, const std::string& path, const DV3& record);

// Saves s's current formula's set, the background and its angles: option 0 to
// names.sdv3file, option 1 beside the image (names.tgafile with its last three
// characters replaced by "dv3", which becomes names.sdv3file). 0 or a
// save-error code; the file it replaces survives any failure.
int writedv3(const RenderContext& ctx, const EngineState& s, FileNames& names, int option);

// Loads the file at `path` into s: DV3 when the path's last character is '3',
// DV otherwise. Applies the record only when all of it is sound.
int loaddv3(EngineState& s, const std::string& path);
// The same into a picture's set, formula, background and angles; the rest of
// the picture stays.
int loaddv3(Picture& p, const std::string& path);

struct LoadMessage {
    std::string text;
    std::string title;
};

// What the user is told for a failed load (code 1 to 5); `path` picks the
// format's wording.
LoadMessage loaderror(int code, const std::string& path);

} // namespace kt

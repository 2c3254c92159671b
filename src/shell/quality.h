#pragma once
// The quality target: rendering stops by itself once the picture has this
// many steps per pixel, and the status line shows how far it has come.
#include <array>
#include <cstdint>

namespace kt {

// The steps per pixel the Quality menu offers, after Off.
inline constexpr std::array<int, 5> qualitysteps = {10, 20, 50, 100, 200};

// The steps a picture of side `res` takes to reach `spp` steps per pixel,
// within what its step count can hold; 0 for no target.
std::uint64_t qualitytarget(int spp, int res);

} // namespace kt

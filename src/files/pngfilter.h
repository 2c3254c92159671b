#pragma once
// A PNG row's filter, chosen as libpng chooses it: of the five, the one whose
// bytes, read as signed, sum smallest in magnitude. Deflate then finds runs in
// what is left.
#include <cstddef>
#include <cstdint>

namespace kt {

// Writes the filter's type and then `bytes` filtered bytes to `out`. `previous`
// is the row above, null for the first row; `pixelbytes` the bytes of a pixel.
void filterrow(const std::uint8_t* row, const std::uint8_t* previous, std::size_t bytes, int pixelbytes,
               std::uint8_t* out);

} // namespace kt

#pragma once
// A PNG row's filter, chosen as libpng chooses it: of the five, the one whose
// bytes, read as signed, sum smallest in magnitude. Deflate then finds runs in
// what is left.
#include <cstddef>
#include <cstdint>

namespace kt {

// Writes the filter's type and then `bytes` filtered bytes to `out`. `up` is
// the row above, zeros for the first row; `pixelbytes` the bytes of a pixel;
// `trial` room for `bytes` more, where each filter is tried.
void filterrow(const std::uint8_t* row, const std::uint8_t* up, std::size_t bytes, int pixelbytes, std::uint8_t* trial,
               std::uint8_t* out);

} // namespace kt

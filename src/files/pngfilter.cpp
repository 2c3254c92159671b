#include "files/pngfilter.h"

#include <cstdlib>
#include <cstring>

namespace kt {

namespace {

int paeth(int a, int b, int c)
{
    const int pa = std::abs(b - c);
    const int pb = std::abs(a - c);
    const int pc = std::abs(a + b - 2 * c);
    return pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
}

unsigned magnitude(const std::uint8_t* bytes, std::size_t count)
{
    unsigned sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += static_cast<unsigned>(std::abs(static_cast<int>(static_cast<std::int8_t>(bytes[i]))));
    return sum;
}

// Each predictor is written out once with the left neighbour as zero at the
// row's start, so the loops over the rest stay simple enough to vectorize.
template <typename Predict>
void predict(const std::uint8_t* row, const std::uint8_t* up, std::size_t bytes, int pixelbytes, std::uint8_t* out,
             Predict guess)
{
    const std::size_t lead = static_cast<std::size_t>(pixelbytes) < bytes ? pixelbytes : bytes;
    for (std::size_t i = 0; i < lead; ++i)
        out[i] = static_cast<std::uint8_t>(row[i] - guess(0, up[i], 0));
    for (std::size_t i = lead; i < bytes; ++i)
        out[i] = static_cast<std::uint8_t>(row[i] - guess(row[i - pixelbytes], up[i], up[i - pixelbytes]));
}

} // namespace

void filterrow(const std::uint8_t* row, const std::uint8_t* up, std::size_t bytes, int pixelbytes, std::uint8_t* trial,
               std::uint8_t* out)
{

    out[0] = 0;
    std::memcpy(out + 1, row, bytes);
    unsigned best = magnitude(out + 1, bytes);
    const auto consider = [&](std::uint8_t type) {
        const unsigned sum = magnitude(trial, bytes);
        if (sum < best) {
            best = sum;
            out[0] = type;
            std::memcpy(out + 1, trial, bytes);
        }
    };
    predict(row, up, bytes, pixelbytes, trial, [](int a, int, int) { return a; });
    consider(1);
    predict(row, up, bytes, pixelbytes, trial, [](int, int b, int) { return b; });
    consider(2);
    predict(row, up, bytes, pixelbytes, trial, [](int a, int b, int) { return (a + b) >> 1; });
    consider(3);
    predict(row, up, bytes, pixelbytes, trial, paeth);
    consider(4);
}

} // namespace kt

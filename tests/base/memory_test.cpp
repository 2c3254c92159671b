#include <gtest/gtest.h>

#include <cstring>

#include "base/memory.h"
#include "base/surface.h"

namespace kt {
namespace {

// Sizes either side of where blocks move to large pages, with and without them.
TEST(MemoryTest, BlocksOfEverySizeAreZeroedWritableAndFreed)
{
    for (const bool largepages : {true, false}) {
        uselargepages(largepages);
        for (const std::size_t bytes :
             {std::size_t{0}, std::size_t{1000}, std::size_t{4} << 20, (std::size_t{9} << 20) + 3}) {
            auto* block = static_cast<unsigned char*>(LocalAlloc(bytes));
            ASSERT_NE(block, nullptr) << bytes;
            std::size_t nonzero = 0;
            for (std::size_t k = 0; k < bytes; k += 4093)
                nonzero += block[k] != 0;
            if (bytes > 0) {
                nonzero += block[bytes - 1] != 0;
                std::memset(block, 0xAB, bytes);
            }
            EXPECT_EQ(nonzero, 0u) << bytes;
            LocalFree(block);
        }
    }
    uselargepages(true);
}

TEST(MemoryTest, ALargeSurfaceKeepsItsPixelsAcrossAResize)
{
    auto image = Surface::create(1500, 1500);
    ASSERT_NE(image, nullptr);
    image->setpixel(1499, 1499, RGB(1, 2, 3));
    EXPECT_EQ(image->getpixel(1499, 1499), RGB(1, 2, 3));
    image->resize(2100, 1000);
    EXPECT_EQ(image->getpixel(2099, 999), RGB(0, 0, 0));
}

} // namespace
} // namespace kt

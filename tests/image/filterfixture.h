#pragma once
// A small picture for the filters: hit counts or depths set pixel by pixel,
// an image painted in a colour no palette entry has, and a palette whose
// entry k is (k, 255 - k, 7), so that every pixel tells which entry, if any,
// a filter gave it.
#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/enginestate.h"
#include "image/filters.h"
#include "shell/histogramwindow.h"
#include "support/enginefixture.h"
#include "parts/programparts.h"

namespace kt::testing {

class FilterTest : public EngineTest {
public:
    static constexpr COLORREF unfiltered = RGB(9, 9, 9);
    static constexpr int notanentry = -1;

protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        filters = FilterState{};
        hist256.fill(0);
        shell.cross = LoadCursorA(nullptr, IDC_CROSS);
        shell.wait = LoadCursorA(nullptr, IDC_WAIT);
        for (int k = 0; k < 256; ++k) {
            engine.palette[3 * k] = static_cast<std::uint8_t>(k);
            engine.palette[3 * k + 1] = static_cast<std::uint8_t>(255 - k);
            engine.palette[3 * k + 2] = 7;
        }
        engine.itercount = 1000;
    }
    void TearDown() override
    {
        filters = FilterState{};
        hist256.fill(0);
        EngineTest::TearDown();
    }

    // A res x res picture holding `values` row by row (the rest 0); hitmax
    // is the largest truncated value, as plotting leaves it.
    void picture(int res, const std::vector<float>& values)
    {
        ASSERT_LE(values.size(), static_cast<std::size_t>(res) * res);
        useimage(res);
        usehitcounts();
        std::copy(values.begin(), values.end(), engine.hitcount.get());
        engine.hitmax = 0;
        for (float v : values)
            engine.hitmax = std::max(engine.hitmax, static_cast<std::uint32_t>(v));
        const RECT all{0, 0, res, res};
        image->fill(all, unfiltered);
    }

    static COLORREF entrycolour(int k) { return RGB(k, 255 - k, 7); }

    // The entry whose colour pixel (i, j) has, or notanentry.
    int entryat(int i, int j) const
    {
        const COLORREF c = image->getpixel(i, j);
        return GetRValue(c) + GetGValue(c) == 255 && GetBValue(c) == 7 ? GetRValue(c) : notanentry;
    }
    // Entries of the first `count` pixels, row by row.
    std::vector<int> entries(int count) const
    {
        std::vector<int> found;
        for (int k = 0; k < count; ++k)
            found.push_back(entryat(k % engine.res, k / engine.res));
        return found;
    }
};

} // namespace kt::testing

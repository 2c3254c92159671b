#pragma once
// A small picture for the filters: hit counts or depths set pixel by pixel,
// an image painted in a colour no palette entry has, and a palette whose
// entry k is (k, 255 - k, 7), so that every pixel tells which entry, if any,
// a filter gave it. What the filters show while they work is recorded.
#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/enginestate.h"
#include "image/filters.h"
#include "support/engine/enginefixture.h"
#include "support/engine/recordingpresentation.h"

namespace kt::testing {

class FilterTest : public EngineTest {
public:
    static constexpr COLORREF unfiltered = RGB(9, 9, 9);
    static constexpr int notanentry = -1;

protected:
    FilterTest()
    {
        ctx.showon(shown);
        for (int k = 0; k < 256; ++k) {
            engine.palette[3 * k] = static_cast<std::uint8_t>(k);
            engine.palette[3 * k + 1] = static_cast<std::uint8_t>(255 - k);
            engine.palette[3 * k + 2] = 7;
        }
        engine.itercount = 1000;
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

    // Whether the filter let the user go on as before: every time it showed
    // itself busy it showed itself idle again.
    bool idleagain() const { return shown.idlecount == shown.busycount; }

    FilterState filters;
    PaletteCounts hist256{};
    RecordingPresentation shown;
};

} // namespace kt::testing

#pragma once
// A gallery drawn in shares (--part K/N), each perhaps on another machine:
// every share leaves a small record of the entries it finished beside their
// files, and whoever finds all N records writes the page from them.
#include <cstdint>
#include <string>
#include <vector>

#include "app/render/gallerypage.h"

namespace kt {

// "part-2-of-3.txt".
std::string sharerecordname(int part, int parts);

// The seed, the number of entries and, one line each, the index and the
// measures of every entry the share finished; the rest of an entry is in its
// .dv3 file.
std::string sharerecord(std::uint32_t seed, int entries, const std::vector<GalleryEntry>& finished);

struct JoinedShares {
    bool complete = false;             // every record is there
    std::vector<GalleryEntry> entries; // in order, when complete and sound
    std::string problem;               // why complete records make no gallery; "" if they do
};

// The gallery in `folder` from all `parts` records: incomplete while one is
// missing; otherwise every entry, each with its set file, or what is wrong
// (another seed or number of entries, an entry named twice or not at all, a
// set file that cannot be read).
JoinedShares joinshares(const std::string& folder, int parts, std::uint32_t seed, int entries);

} // namespace kt

#pragma once
// A gallery drawn in shares (--part K/N), each perhaps on another machine:
// every share leaves a small record of the entries it finished beside their
// files, and whoever finds all N records writes the page from them.
#include <cstdint>
#include <optional>
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

// Every entry of the gallery in `folder`, in order, once all `parts` records
// of this seed and number of entries are there and name every entry, each
// with its set file; nothing otherwise.
std::optional<std::vector<GalleryEntry>> joinshares(const std::string& folder, int parts, std::uint32_t seed,
                                                    int entries);

} // namespace kt

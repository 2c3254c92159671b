#pragma once
// A gallery drawn in shares (--part K/N), each perhaps on another machine:
// every share leaves a small record of the entries it finished beside their
// files, and whoever finds all N records writes the page from them.
#include <cstdint>
#include <string>
#include <vector>

#include "app/render/gallery/gallerypage.h"
#include "app/render/commandline/renderoptions.h"
#include "engine/enginestate.h"
#include "engine/picture.h"

namespace kt {

// "part-2-of-3.txt".
std::string sharerecordname(int part, int parts);
// Whether `name` is a share's record of any number of shares.
bool issharerecordname(const std::string& name);

// Bytes as hexadecimal text, so that a record compares them to the bit.
std::string hextext(const std::uint8_t* bytes, std::size_t size);

// Everything that decides a share's files, one line each: the program's
// version, the search (seed, number of entries, dimension limit) and the
// picture the entries start from, with the set as loaded (its text, but for
// the palette's path, whose colours follow). Not the share, the threads or
// the folder.
std::string sharesettings(const Picture& start, const Palette& colours, int entries, double fdlimit,
                          std::uint32_t seed);

// A picture's text as a record compares it: without the palette's path,
// which may differ from machine to machine, and with the palette's colours.
std::string recordedpicture(const Picture& p, const Palette& colours);

// The settings, then one line each the index and the measures of every entry
// the share finished; the rest of an entry is in its .dv3 file.
std::string sharerecord(const std::string& settings, const std::vector<GalleryEntry>& finished);

// "" or why a share of `settings` may not draw into `folder`: a record there,
// of any number of shares, of other settings, and the first setting in which
// they differ.
std::string sharesatodds(const std::string& folder, const std::string& settings);

struct JoinedShares {
    bool complete = false;             // every record is there
    std::vector<GalleryEntry> entries; // in order, when complete and sound
    std::string problem;               // why complete records make no gallery; "" if they do
};

// The gallery in `folder` from all `parts` records: incomplete while one is
// missing; otherwise every entry, each with its set file, or what is wrong
// (other settings, an entry named twice or not at all, a set file that
// cannot be read).
JoinedShares joinshares(const std::string& folder, int parts, const std::string& settings, int entries);

} // namespace kt

#pragma once
// The two files that describe an explored gallery: gallery.json for programs
// and index.html, one self-contained page for people (no network, opened
// straight from the disk).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/enginestate.h"
#include "engine/picture.h"

namespace kt {

struct GalleryEntry {
    int index = 0; // from 1
    int formula = 1;
    ICON set = {};
    double lyapunov = 0;
    double dimension = 0;
    VOXEL rotation = {};
    COLORREF back = defaultback;
};

struct Gallery {
    std::uint32_t seed = 0;
    int size = 0;
    std::uint64_t iterations = 0;
    std::vector<GalleryEntry> entries;
    // Every entry's picture but its set, angles and background; none records
    // no settings.
    std::optional<Picture> look;
};

// A setting that, beside the set in an entry's .dv3, decides the entry's
// files: its name and value in gallery.json, and the words that give it to a
// command rendering the entry from its .dv3 ("" when the .dv3 carries it).
struct EntrySetting {
    std::string name;
    std::string value;
    std::string words;
};

// Every such setting of an entry drawn with `o`. gallery.json's settings, the
// page's commands and a share's record are all made from this one list, so a
// setting added here reaches all three.
std::vector<EntrySetting> entrysettings(const Picture& look, const GalleryEntry& entry);

// The picture an entry was drawn as: the look with the entry's set (and the
// scale a fit chose), angles and background.
Picture entrypicture(const Picture& look, const GalleryEntry& entry);

// The batch commands, run in the gallery's folder, that render an entry again
// as on the page and large enough to print.
std::string reproducecommand(const Gallery& gallery, const GalleryEntry& entry);
std::string printcommand(const Gallery& gallery, const GalleryEntry& entry);

// "001", "002", ... (more digits past 999).
std::string entryname(int index);

std::string galleryjson(const Gallery& gallery);
std::string gallerypage(const Gallery& gallery);

} // namespace kt

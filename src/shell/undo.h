#pragma once
// Undo and redo of what changes the picture or its set: each such command
// keeps the picture as it stood before it, its set and colours and, where
// memory allows, its hit counts, depth sums and image, so that undoing a
// blank or a filter gives back the very picture it replaced.
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "engine/enginestate.h"
#include "image/tonemap.h"
#include "shell/shownfilter.h"
#include "platform/window.h"

namespace kt {

struct Desktop;

struct PictureSnapshot {
    EngineValues values;
    std::string palettename;
    // Empty when the picture had none yet, or memory for a copy was short:
    // undoing then gives back the set and its colours, and the picture is
    // drawn again.
    std::vector<float> hits;
    std::vector<float> depths;
    std::vector<std::uint32_t> pixels;
    int hcres = 0;
    // The filter the picture showed; for a tone, the settings it was toned
    // with come back with it, so that the dialog goes on from them.
    ShownFilter filter = ShownFilter::none;
    ToneSettings tone;

    std::size_t bytes() const;
};

class UndoHistory {
public:
    // What is kept at most: this many steps back, in this many bytes.
    static constexpr std::size_t keptsteps = 10;
    static constexpr std::size_t keptbytes = std::size_t{512} << 20;

    // The picture before a command that changed it; what could be redone goes.
    void record(PictureSnapshot before);
    bool canundo() const { return !undo_.empty(); }
    bool canredo() const { return !redo_.empty(); }
    // The picture to go back (forward) to, in exchange for the one shown now.
    PictureSnapshot undo(PictureSnapshot now);
    PictureSnapshot redo(PictureSnapshot now);

private:
    void trim();
    std::deque<PictureSnapshot> undo_, redo_; // newest last
};

PictureSnapshot takesnapshot(const Desktop& d);
// Whether the desktop still shows the picture of `before`.
bool samepicture(const PictureSnapshot& before, const Desktop& d);
// Shows the snapshot's picture, to go on rendering from where it stood.
void restoresnapshot(Desktop& d, HWND hWnd, PictureSnapshot snapshot);

} // namespace kt

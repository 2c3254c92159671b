#include "shell/undo.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "shell/desktop.h"
#include "shell/view.h"

namespace kt {

namespace {

template <typename T>
bool copyof(const T* from, std::size_t count, std::vector<T>& into)
{
    try {
        into.assign(from, from + count);
        return true;
    } catch (const std::bad_alloc&) {
        into.clear();
        return false;
    }
}

bool samevalues(const EngineValues& a, const EngineValues& b)
{
    const auto sets = [](const EngineValues& v) {
        return std::tie(v.type, v.rotationorder, v.res, v.cmethod, v.back, v.newimage, v.itercount, v.hitmax);
    };
    return sets(a) == sets(b) && a.icon[0] == b.icon[0] && a.icon[1] == b.icon[1] && a.rot[0] == b.rot[0] &&
        a.rot[1] == b.rot[1] && a.palette == b.palette;
}

} // namespace

std::size_t PictureSnapshot::bytes() const
{
    return sizeof(PictureSnapshot) + hits.size() * sizeof(float) + depths.size() * sizeof(float) +
        pixels.size() * sizeof(std::uint32_t);
}

void UndoHistory::record(PictureSnapshot before)
{
    undo_.push_back(std::move(before));
    redo_.clear();
    trim();
}

PictureSnapshot UndoHistory::undo(PictureSnapshot now)
{
    PictureSnapshot back = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back(std::move(now));
    trim();
    return back;
}

PictureSnapshot UndoHistory::redo(PictureSnapshot now)
{
    PictureSnapshot forward = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back(std::move(now));
    trim();
    return forward;
}

void UndoHistory::trim()
{
    const auto total = [this] {
        std::size_t bytes = 0;
        for (const auto* list : {&undo_, &redo_})
            for (const PictureSnapshot& s : *list)
                bytes += s.bytes();
        return bytes;
    };
    // The oldest steps back go first, then the furthest steps forward.
    while (undo_.size() > keptsteps)
        undo_.pop_front();
    while (redo_.size() > keptsteps)
        redo_.pop_front();
    while (total() > keptbytes && (undo_.size() > 1 || !redo_.empty())) {
        if (undo_.size() > 1)
            undo_.pop_front();
        else
            redo_.pop_front();
    }
}

PictureSnapshot takesnapshot(const Desktop& d)
{
    const EngineState& s = d.engine;
    PictureSnapshot snap;
    snap.values = s;
    snap.values.g_vhdc = nullptr;
    snap.palettename = d.palettename;
    snap.filter = d.shownfilter;
    snap.tone = d.tone;
    const std::size_t side = static_cast<std::size_t>(s.res);
    if (s.hitcount && s.hcres == s.res && s.g_vhdc && s.g_vhdc->width() == s.res &&
        copyof(s.hitcount.get(), side * side, snap.hits) &&
        (!s.depthsum || copyof(s.depthsum.get(), side * side, snap.depths)) &&
        copyof(s.g_vhdc->bits(), side * side, snap.pixels)) {
        snap.hcres = s.hcres;
        return snap;
    }
    snap.hits.clear();
    snap.depths.clear();
    snap.pixels.clear();
    return snap;
}

bool samepicture(const PictureSnapshot& before, const Desktop& d)
{
    const EngineState& s = d.engine;
    if (!samevalues(before.values, s) || before.palettename != d.palettename)
        return false;
    if (before.pixels.empty() || !s.g_vhdc)
        return true;
    const std::size_t count = before.pixels.size();
    return std::memcmp(before.pixels.data(), s.g_vhdc->bits(), count * sizeof(std::uint32_t)) == 0 &&
        std::memcmp(before.hits.data(), s.hitcount.get(), count * sizeof(float)) == 0;
}

void restoresnapshot(Desktop& d, HWND hWnd, PictureSnapshot snap)
{
    EngineState& s = d.engine;
    const int shownres = s.res;
    Surface* const image = s.g_vhdc;
    const int okicon = s.okicon;
    static_cast<EngineValues&>(s) = snap.values;
    s.g_vhdc = image;
    s.okicon = okicon;
    d.palettename = snap.palettename;
    d.shownfilter = ShownFilter::none;
    if (s.orbitahead)
        s.orbitahead->made = false;
    if (s.res != shownres && !rebuildoffscreen(s, hWnd, shownres)) {
        // The picture's side cannot be had again: its set is, at the side shown.
        s.newimage = 1;
        return;
    }
    const std::size_t count = snap.pixels.size();
    if (count == 0) {
        s.newimage = 1;
        return;
    }
    if (s.hcres != snap.hcres || !s.hitcount) {
        s.hitcount = localarray<float>(count);
        s.hcres = s.hitcount ? snap.hcres : 0;
    }
    if (!snap.depths.empty() && !s.depthsum)
        s.depthsum = localarray<float>(count);
    if (!s.hitcount || !s.g_vhdc || (!snap.depths.empty() && !s.depthsum)) {
        s.newimage = 1;
        return;
    }
    std::memcpy(s.hitcount.get(), snap.hits.data(), count * sizeof(float));
    if (!snap.depths.empty())
        std::memcpy(s.depthsum.get(), snap.depths.data(), count * sizeof(float));
    else
        s.depthsum.reset();
    std::memcpy(s.g_vhdc->bits(), snap.pixels.data(), count * sizeof(std::uint32_t));
    // The values say whether it was begun; rebuilding the image does not.
    s.newimage = snap.values.newimage;
    d.shownfilter = snap.filter;
    if (snap.filter == ShownFilter::densitytone || snap.filter == ShownFilter::depthtone)
        d.tone = snap.tone;
}

} // namespace kt

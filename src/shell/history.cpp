#include "shell/history.h"

namespace kt {

namespace {

bool sameicon(const ICON& a, const ICON& b)
{
    return a.a == b.a && a.b == b.b && a.c == b.c && a.d == b.d && a.e == b.e && a.n == b.n && a.p == b.p &&
        a.scale == b.scale && a.xstart == b.xstart && a.ystart == b.ystart && a.zstart == b.zstart;
}

bool samerotation(const VOXEL& a, const VOXEL& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

} // namespace

ParameterSet currentset(const EngineState& s)
{
    return ParameterSet{{s.icon[0], s.icon[1]},
                        s.type,
                        {s.rot[0], s.rot[1]},
                        s.rotationorder,
                        s.cmethod,
                        s.back,
                        s.red,
                        s.green,
                        s.blue};
}

void restoreset(EngineState& s, const ParameterSet& set)
{
    s.icon[0] = set.icon[0];
    s.icon[1] = set.icon[1];
    s.type = set.type;
    s.rot[0] = set.rot[0];
    s.rot[1] = set.rot[1];
    s.rotationorder = set.rotationorder;
    s.cmethod = set.cmethod;
    s.back = set.back;
    s.red = set.red;
    s.green = set.green;
    s.blue = set.blue;
}

bool operator==(const ParameterSet& a, const ParameterSet& b)
{
    return sameicon(a.icon[0], b.icon[0]) && sameicon(a.icon[1], b.icon[1]) && a.type == b.type &&
        samerotation(a.rot[0], b.rot[0]) && samerotation(a.rot[1], b.rot[1]) && a.rotationorder == b.rotationorder &&
        a.cmethod == b.cmethod && a.back == b.back && a.red == b.red && a.green == b.green && a.blue == b.blue;
}

void History::record(const ParameterSet& set)
{
    if (!sets_.empty() && sets_[at_] == set)
        return;
    if (!sets_.empty())
        sets_.erase(sets_.begin() + static_cast<std::ptrdiff_t>(at_) + 1, sets_.end());
    sets_.push_back(set);
    if (sets_.size() > capacity)
        sets_.pop_front();
    at_ = sets_.size() - 1;
}

} // namespace kt

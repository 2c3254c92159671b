#pragma once
// The parameter sets rendered since the program started, to step back and
// forth through as a browser steps through pages.
#include <cstddef>
#include <deque>

#include "engine/enginestate.h"

namespace kt {

// What makes a picture what it is: the sets of both formulas and which one
// is drawn, the rotation, the colouring and the background.
struct ParameterSet {
    ICON icon[2];
    int type;
    VOXEL rot[2];
    int rotationorder;
    int cmethod;
    COLORREF back;
    int red, green, blue;
};

ParameterSet currentset(const EngineState& s);
void restoreset(EngineState& s, const ParameterSet& set);
bool operator==(const ParameterSet& a, const ParameterSet& b);

class History {
public:
    // The oldest sets go once this many are kept.
    static constexpr std::size_t capacity = 200;

    // A set unlike the current entry becomes the newest, after dropping any
    // the user had stepped back from.
    void record(const ParameterSet& set);
    bool canstepback() const { return at_ > 0; }
    bool canstepforward() const { return at_ + 1 < sets_.size(); }
    // The entry stepped to; only when canstepback / canstepforward.
    const ParameterSet& stepback() { return sets_[--at_]; }
    const ParameterSet& stepforward() { return sets_[++at_]; }

private:
    std::deque<ParameterSet> sets_;
    std::size_t at_ = 0;
};

} // namespace kt

#pragma once
// Choosing the scale from the orbit itself, so that the icon fills its frame.
#include "engine/enginestate.h"

namespace kt {

// Steps of the orbit the fit looks at; the first batch, as in a render, is not.
constexpr int fitsteps = 400000;

// The scale at which the turned orbit of `set`'s current parameter set fills a
// width x height frame (centred in the square of its larger side, at the
// origin as always) leaving `margin` of the frame free on each side; the set's
// own scale when the orbit gives none.
double fittedscale(const EngineState& set, int width, int height, double margin);

// The same for every turn of the icon at once, as a turntable shows it: from
// the orbit's distance to the origin in three dimensions.
double fittedscaleanyturn(const EngineState& set, int width, int height, double margin);

} // namespace kt

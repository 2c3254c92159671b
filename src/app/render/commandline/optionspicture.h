#pragma once
// The picture a command line asks for.
#include "app/render/commandline/renderoptions.h"
#include "engine/enginestate.h"
#include "engine/picture.h"

namespace kt {

// The options' look (every setting but the set and its angles and background,
// which are the built-in ones of the options' formula).
Picture optionslook(const RenderOptions& o);

// The look with the set, the angles and the background of s's current
// formula, as the parameter file, the options and the search left them.
Picture optionspicture(const RenderOptions& o, const EngineState& s);

} // namespace kt

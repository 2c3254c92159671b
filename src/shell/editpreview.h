#pragma once
// While the Parameters or Rotation dialog is being edited, the picture the
// edit would give, over the render: points of many orbits of the edited set,
// turned and drawn as the mouse turn's preview is, with a caption when the
// set fails the chaos screen. The render stays whole underneath; the
// dialog's OK decides.
#include <string>

#include "engine/enginestate.h"
#include "platform/window.h"

namespace kt {

struct Desktop;

// Shows what `edited` (a copy of the engine's state with the dialog's
// fields) would draw, in the main window, at once; a caption (lines split
// by '\n') is drawn at the top-left corner of the view.
void showeditpreview(Desktop& d, const EngineState& edited, const std::string& caption = {});

} // namespace kt

#pragma once
// The desktop's render batch: the engine's batch, with the busy cursor while
// it runs, the picture shown after it, and rendering paused when a new
// picture's memory cannot be had.
#include "engine/enginestate.h"
#include "engine/rendercontext.h"
#include "platform/window.h"

namespace kt {

// 0 after a completed batch; 1 when the hit-count buffer could not be
// allocated (reported, rendering switched off, no step taken). The main
// window is told to pause.
int icondriver(RenderContext& ctx, EngineState& s, HWND hWnd);

} // namespace kt

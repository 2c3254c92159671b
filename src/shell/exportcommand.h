#pragma once
// Export Picture: a print of the shown picture, rendered as the batch
// renderer renders a picture text, while the window stays responsive.
#include <string>

#include "engine/picture.h"
#include "image/palettes.h"
#include "platform/window.h"

namespace kt {

struct Desktop;

// Asks for the settings and a file, then renders and writes it.
void exportcommand(Desktop& d, HWND hWnd);

// Renders `p` in `colours` and writes it to `path` on threads of its own,
// handling the window's messages between its rounds so that it can be
// cancelled (Esc) or its window closed; says how it went. True when the
// file was written.
bool exportto(Desktop& d, HWND hWnd, const Picture& p, const Palette& colours, const std::string& path);

} // namespace kt

#pragma once
// How long the picture on screen has been rendering since it began or was
// last saved: ending the program throws that away, so beyond a few seconds
// of it the user is asked first.
#include <chrono>

#include "platform/window.h"

namespace kt {

using RenderClock = std::chrono::steady_clock;

struct UnsavedRender {
    // Wall time spent in render batches: paused time, dialogs and message
    // boxes do not count, and neither does how fast the processor is.
    RenderClock::duration rendered{};
};

inline constexpr std::chrono::seconds unsavedworthasking{10};

// A batch rendered for `took`; a batch that begins a new picture starts the
// count again.
void countbatch(UnsavedRender& unsaved, bool newpicture, RenderClock::duration took);
void picturesaved(UnsavedRender& unsaved);
// Whether the program may end: at once with less than `threshold` of
// rendering unsaved, else when the user says Yes to losing it.
bool mayend(const UnsavedRender& unsaved, HWND hWnd, RenderClock::duration threshold = unsavedworthasking);

} // namespace kt

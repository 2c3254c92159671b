#pragma once
// The Export Picture dialog: the frame, steps per pixel, supersampling,
// orbits, tone, bits, background and scale of a print of the shown picture.
#include <optional>
#include <string>

#include "platform/dialog.h"
#include "shell/desktoppicture.h"

namespace kt {

constexpr int widthfield = 1010;
constexpr int heightfield = 1011;
constexpr int sppfield = 1012;
constexpr int supersamplefield = 1013;
constexpr int orbitsfield = 1014;
constexpr int hitbutton = 1020, densitybutton = 1021, depthbutton = 1022;
constexpr int eightbitbutton = 1025, sixteenbitbutton = 1026;
constexpr int colourbutton = 1030, transparentbutton = 1031;
constexpr int shownscalebutton = 1035, fitbutton = 1036;

extern const DialogTemplate exportdialog;

// The settings the dialog's fields give, or why they cannot be had, naming
// the field. Strict: a field is a whole decimal number (or for steps per
// pixel a decimal real) and nothing else.
struct ExportFields {
    std::optional<ExportSettings> settings;
    std::string problem;
};
ExportFields readexportfields(HWND dialog);

// OK keeps the dialog open, with a message, until its fields make a picture
// that can be drawn; they then become the desktop's export settings.
INT_PTR ExportDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace kt

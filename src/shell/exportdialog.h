#pragma once
// The Export Picture dialog: the frame, steps per pixel, supersampling,
// orbits, tone, bits, background and scale of a print of the shown picture.
#include <optional>
#include <string>

#include "platform/dialog.h"
#include "shell/desktoppicture.h"

namespace kt {

constexpr int widthfield = 910;
constexpr int heightfield = 911;
constexpr int sppfield = 912;
constexpr int supersamplefield = 913;
constexpr int orbitsfield = 914;
constexpr int hitbutton = 920, densitybutton = 921, depthbutton = 922;
constexpr int eightbitbutton = 925, sixteenbitbutton = 926;
constexpr int colourbutton = 930, transparentbutton = 931;
constexpr int shownscalebutton = 935, fitbutton = 936;

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

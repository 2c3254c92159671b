#pragma once
// The tone settings dialog: the density tone's brightness and gamma on two
// sliders, each on a log scale with 1 in the middle. The shown tone follows
// the sliders as they move; the command that opens it gives back the
// settings and the picture on Cancel.
#include "platform/dialog.h"

namespace kt {

constexpr int brightnessslider = 1110;
constexpr int brightnessvalue = 1111;
constexpr int gammaslider = 1120;
constexpr int gammavalue = 1121;
constexpr int tonestatus = 1130; // two lines: 1130 and 1131

extern const DialogTemplate tonedialog;

INT_PTR ToneDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// The sliders run from 0 to this, the middle being 1: brightness from 0.01
// to 100, gamma from 0.1 to 10.
constexpr int tonepositions = 40;

} // namespace kt

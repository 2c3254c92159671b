#pragma once
// The Parameters dialog: formula, coefficients, n, p, scale and image size,
// screened on OK.
#include "engine/enginestate.h"
#include "platform/dialog.h"

namespace kt {

extern const DialogTemplate paramdialog;

// The scales the dialog takes, by formula.
inline constexpr double scalerange[2][2] = {{0.1, 5.0}, {0.1, 5.0}};

// What the command kept before opening the dialog; Cancel restores from it
// (with engine.saveres for the image size).
struct ParamDialogSaves {
    ICON saveicon;
    int savetype;
};
INT_PTR ParamDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace kt

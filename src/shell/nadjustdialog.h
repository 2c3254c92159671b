#pragma once
// The normalization-adjustment dialog: a slider from 0 (partial) to 10
// (complete) that sets how far normalize steepens its scale. A normalized
// picture follows the slider as it moves.
#include "platform/dialog.h"

namespace kt {

constexpr int nadjustslider = 810;

extern const DialogTemplate nadjustdialog;

INT_PTR NadjustDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace kt

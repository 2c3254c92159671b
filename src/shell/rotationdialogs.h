#pragma once
// The rotation dialog (angles and order of the current formula) and the
// dialog of the random search's lower fractal-dimension limit.
#include "platform/dialog.h"

namespace kt {

extern const DialogTemplate rotationdialog;
extern const DialogTemplate fddialog;

INT_PTR RotationDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR FDDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace kt

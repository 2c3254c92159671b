#pragma once
// The colouring-method and background-colour dialogs.
#include "platform/dialog.h"

namespace kt {

extern const DialogTemplate coloringdialog;
extern const DialogTemplate backgrounddialog;

INT_PTR ColoringMethodDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR BackgroundDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace kt

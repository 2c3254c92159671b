#pragma once
// Modal dialogs built from templates, and their controls.
#include <string>
#include <vector>

#include "platform/messagebox.h"
#include "platform/window.h"

namespace kt {

struct ControlTemplate {
    ControlKind kind;
    int id;
    std::string text;
    int x, y, cx, cy;        // dialog units
    bool groupStart = false; // the first radio button of a group
    bool disabled = false;
};

struct DialogTemplate {
    int id;
    std::string caption;
    int cx, cy; // dialog units
    std::vector<ControlTemplate> controls;
    bool systemmenu = true; // a system menu, and with it a close button
};

constexpr WORD BN_CLICKED = 0;
// An edit field's text was changed by the user.
constexpr WORD EN_CHANGE = 0x0300;
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;
constexpr UINT TBM_GETPOS = WM_USER;
constexpr UINT TBM_SETPOS = WM_USER + 5;
constexpr UINT TBM_SETRANGE = WM_USER + 6;

// Runs the dialog modally: the owner is disabled, the procedure gets
// WM_INITDIALOG with `param`, and the result is what EndDialog was given.
INT_PTR DialogBoxParamA(HINSTANCE instance, const DialogTemplate* dialog, HWND owner, DLGPROC procedure, LPARAM param);
BOOL EndDialog(HWND dialog, INT_PTR result);
// What typing goes to as a dialog opens: its first enabled edit field, top to
// bottom and left to right; without one its checked radio button, else its
// trackbar, else its default button.
HWND initialfocus(HWND dialog);
HWND GetDlgItem(HWND dialog, int id);
// Copies at most size - 1 characters and a terminator; returns the count copied.
UINT GetDlgItemTextA(HWND dialog, int id, char* buffer, int size);
BOOL SetDlgItemTextA(HWND dialog, int id, const char* text);
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
UINT IsDlgButtonChecked(HWND dialog, int id);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);

// A field's text read as a dialog reads it: at most its first 29 characters,
// the longest numeric prefix after leading white space, 0 when there is none.
// An integer beyond the range of a long saturates.
double dialogreal(HWND dialog, int id);
long dialoginteger(HWND dialog, int id);
// The real brought into [low, high]; one that is not a number takes low,
// as an unreadable field does.
double dialogreal(HWND dialog, int id, double low, double high);
// Shows a real as "%.15f", as every real field is shown.
void showdialogreal(HWND dialog, int id, double value);

// The command of a form with OK and Cancel: OK runs `accept` (which ends the
// dialog with 1), Cancel ends it with 2 and changes nothing. Returns whether
// the command was one of the two.
INT_PTR okcancelcommand(HWND dialog, WPARAM wParam, void (*accept)(HWND));

// What the user does to a control, as a backend reports it: typing into an
// edit field (EN_CHANGE), clicking a button (radio buttons check themselves),
// moving a trackbar. Each notifies the dialog procedure as the platform would.
void usertypes(HWND dialog, int id, const std::string& text);
void userclicks(HWND dialog, int id);
void usermovestrackbar(HWND dialog, int id, int position);
// An arrow key on radio button `id`: the focus moves to the next (step 1) or
// previous (step -1) enabled button of its group, round the group's ends,
// and checks it as a click would. Returns the id of the button that has the
// focus now.
int userarrowsradio(HWND dialog, int id, int step);

} // namespace kt

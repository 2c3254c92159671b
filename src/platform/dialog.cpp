#include "platform/dialog.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/backend.h"
#include "platform/core.h"

namespace kt {

namespace {

LRESULT dialogwindowproc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

constexpr const char* dialogclass = "#32770";
constexpr const char* controlclass = "KTControl";

void registerdialogclasses()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = dialogwindowproc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = dialogclass;
    RegisterClassA(&wc); // fails harmlessly when already registered
    wc.lpszClassName = controlclass;
    RegisterClassA(&wc);
}

HWND control(HWND dialog, int id)
{
    if (!IsWindow(dialog))
        return nullptr;
    for (HWND c : dialog->controls)
        if (c->controlId == id)
            return c;
    return nullptr;
}

void notify(HWND dialog, HWND c, WORD code)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(c->controlId, code), reinterpret_cast<LPARAM>(c));
}

// The radio buttons of the group that holds `c`: from the group's first
// button to the last before the next group or non-radio control.
std::vector<HWND> radiogroup(HWND dialog, HWND c)
{
    auto& all = dialog->controls;
    auto at = std::find(all.begin(), all.end(), c);
    auto first = at;
    while (first != all.begin() && !(*first)->groupStart && (*(first - 1))->kind == ControlKind::Radio)
        --first;
    std::vector<HWND> group;
    for (auto it = first; it != all.end() && (*it)->kind == ControlKind::Radio; ++it) {
        if (it != first && (*it)->groupStart)
            break;
        group.push_back(*it);
    }
    return group;
}

} // namespace

bool isdialogwindow(HWND hwnd)
{
    return hwnd->classname == dialogclass || hwnd->classname == controlclass;
}

INT_PTR DialogBoxParamA(HINSTANCE, const DialogTemplate* tmpl, HWND owner, DLGPROC procedure, LPARAM param)
{
    if (!tmpl || !procedure)
        return -1;
    registerdialogclasses();
    const DWORD style = WS_POPUP | WS_CAPTION | (tmpl->systemmenu ? WS_SYSMENU : 0);
    HWND dialog = CreateWindowExA(0, dialogclass, tmpl->caption.c_str(), style, 0, 0, tmpl->cx, tmpl->cy, owner,
                                  nullptr, nullptr, nullptr);
    if (!dialog)
        return -1;
    for (const ControlTemplate& t : tmpl->controls) {
        HWND c = CreateWindowExA(0, controlclass, t.text.c_str(), WS_CHILD, t.x, t.y, t.cx, t.cy, dialog, nullptr,
                                 nullptr, nullptr);
        if (!c)
            continue;
        c->controlId = t.id;
        c->kind = t.kind;
        c->groupStart = t.groupStart;
        c->enabled = !t.disabled;
        c->dlgx = t.x;
        c->dlgy = t.y;
        c->dlgcx = t.cx;
        c->dlgcy = t.cy;
        dialog->controls.push_back(c);
    }
    dialog->dlgx = 0;
    dialog->dlgy = 0;
    dialog->dlgcx = tmpl->cx;
    dialog->dlgcy = tmpl->cy;
    dialog->dlgproc = procedure;

    const BOOL ownerWasDisabled = owner ? EnableWindow(owner, 0) : 1;
    SendMessageA(dialog, WM_INITDIALOG, 0, param);
    dialog->focus = initialfocus(dialog);
    if (!dialog->dialogEnded) {
        ShowWindow(dialog, SW_SHOW);
        backend().rundialog(dialog);
    }
    const INT_PTR result = dialog->dialogResult;
    if (owner && !ownerWasDisabled)
        EnableWindow(owner, 1);
    dialog->dlgproc = nullptr;
    for (HWND c : dialog->controls)
        DestroyWindow(c);
    dialog->controls.clear();
    DestroyWindow(dialog);
    return result;
}

HWND initialfocus(HWND dialog)
{
    if (!IsWindow(dialog))
        return nullptr;
    HWND field = nullptr;
    for (HWND c : dialog->controls)
        if (c->kind == ControlKind::Edit && c->enabled &&
            (!field || c->dlgy < field->dlgy || (c->dlgy == field->dlgy && c->dlgx < field->dlgx)))
            field = c;
    if (field)
        return field;
    const auto first = [dialog](auto wanted) -> HWND {
        for (HWND c : dialog->controls)
            if (c->enabled && wanted(c))
                return c;
        return nullptr;
    };
    if (HWND radio = first([](HWND c) { return c->kind == ControlKind::Radio && c->checked; }))
        return radio;
    if (HWND slider = first([](HWND c) { return c->kind == ControlKind::Trackbar; }))
        return slider;
    return first([](HWND c) { return c->kind == ControlKind::DefButton; });
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    if (!IsWindow(dialog))
        return 0;
    dialog->dialogResult = result;
    dialog->dialogEnded = true;
    return 1;
}

HWND GetDlgItem(HWND dialog, int id)
{
    return control(dialog, id);
}

UINT GetDlgItemTextA(HWND dialog, int id, char* buffer, int size)
{
    HWND c = control(dialog, id);
    if (!c || !buffer || size <= 0)
        return 0;
    const std::size_t count = std::min(c->title.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, c->title.data(), count);
    buffer[count] = '\0';
    return static_cast<UINT>(count);
}

BOOL SetDlgItemTextA(HWND dialog, int id, const char* text)
{
    HWND c = control(dialog, id);
    if (!c)
        return 0;
    c->title = text ? text : "";
    backend().windowchanged(c);
    return 1;
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check)
{
    if (!IsWindow(dialog))
        return 0;
    for (HWND c : dialog->controls) {
        if (c->controlId >= first && c->controlId <= last) {
            c->checked = c->controlId == check;
            backend().windowchanged(c);
        }
    }
    return 1;
}

UINT IsDlgButtonChecked(HWND dialog, int id)
{
    HWND c = control(dialog, id);
    return c && c->checked ? BST_CHECKED : BST_UNCHECKED;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND c = control(dialog, id);
    if (!c)
        return 0;
    switch (message) {
    case BM_GETCHECK:
        return c->checked ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
        c->checked = wParam == BST_CHECKED;
        break;
    case TBM_SETRANGE:
        c->trackMin = static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam)));
        c->trackMax = static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lParam)));
        c->trackPos = std::clamp(c->trackPos, c->trackMin, std::max(c->trackMin, c->trackMax));
        break;
    case TBM_SETPOS:
        c->trackPos = std::clamp(static_cast<int>(lParam), c->trackMin, std::max(c->trackMin, c->trackMax));
        break;
    case TBM_GETPOS:
        return c->trackPos;
    default:
        return 0;
    }
    backend().windowchanged(c);
    return 0;
}

namespace {
std::string fieldprefix(HWND dialog, int id)
{
    char text[30];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}
} // namespace

double dialogreal(HWND dialog, int id)
{
    return std::strtod(fieldprefix(dialog, id).c_str(), nullptr);
}

long dialoginteger(HWND dialog, int id)
{
    return std::strtol(fieldprefix(dialog, id).c_str(), nullptr, 10);
}

double dialogreal(HWND dialog, int id, double low, double high)
{
    const double v = dialogreal(dialog, id);
    if (std::isnan(v) || v < low)
        return low;
    return v > high ? high : v;
}

void showdialogreal(HWND dialog, int id, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.15f", value);
    SetDlgItemTextA(dialog, id, text);
}

INT_PTR okcancelcommand(HWND dialog, WPARAM wParam, void (*accept)(HWND))
{
    switch (LOWORD(wParam)) {
    case IDOK:
        accept(dialog);
        return 1;
    case IDCANCEL:
        EndDialog(dialog, 2);
        return 1;
    default:
        return 0;
    }
}

void usertypes(HWND dialog, int id, const std::string& text)
{
    HWND c = control(dialog, id);
    if (!c || !c->enabled || c->kind != ControlKind::Edit || c->title == text)
        return;
    c->title = text;
    notify(dialog, c, EN_CHANGE);
}

void userclicks(HWND dialog, int id)
{
    HWND c = control(dialog, id);
    if (!c || !c->enabled)
        return;
    if (c->kind == ControlKind::Radio) {
        for (HWND other : radiogroup(dialog, c)) {
            other->checked = other == c;
            backend().windowchanged(other);
        }
    }
    if (c->kind == ControlKind::Button || c->kind == ControlKind::DefButton || c->kind == ControlKind::Radio)
        notify(dialog, c, BN_CLICKED);
}

int userarrowsradio(HWND dialog, int id, int step)
{
    HWND c = control(dialog, id);
    if (!c || c->kind != ControlKind::Radio)
        return id;
    const std::vector<HWND> group = radiogroup(dialog, c);
    const auto size = static_cast<std::ptrdiff_t>(group.size());
    const std::ptrdiff_t at = std::find(group.begin(), group.end(), c) - group.begin();
    for (std::ptrdiff_t moved = 1; moved < size; ++moved) {
        HWND next = group[static_cast<std::size_t>(((at + moved * step) % size + size) % size)];
        if (next->enabled) {
            userclicks(dialog, next->controlId);
            return next->controlId;
        }
    }
    return id;
}

void usermovestrackbar(HWND dialog, int id, int position)
{
    HWND c = control(dialog, id);
    if (!c || !c->enabled || c->kind != ControlKind::Trackbar)
        return;
    c->trackPos = std::clamp(position, c->trackMin, std::max(c->trackMin, c->trackMax));
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, c->trackPos), reinterpret_cast<LPARAM>(c));
}

} // namespace kt

#include "shell/view.h"

#include "shell/palettepreview.h"
#include "platform/messagebox.h"
#include "shell/desktop.h"

namespace kt {

namespace {

void reportnomemory(HWND hWnd)
{
    MessageBoxA(hWnd, "Unable to allocate virtual screen buffer.\nTry to free up some memory.", "Memory Problem",
                MB_ICONEXCLAMATION);
}

int& position(ShellState& shell, int bar)
{
    return bar == SB_HORZ ? shell.xCurrentScroll : shell.yCurrentScroll;
}

void setbar(Desktop& d, HWND hWnd, int bar, int page)
{
    SCROLLINFO& si = d.shell.si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = d.engine.res - 1;
    si.nPage = static_cast<UINT>(page);
    si.nPos = position(d.shell, bar);
    SetScrollInfo(hWnd, bar, &si, 1);
}

} // namespace

bool createviewbuffers(Desktop& d, HWND hWnd)
{
    EngineState& s = d.engine;
    GetClientRect(hWnd, &d.shell.ClientRes);
    auto image = Surface::create(s.res, s.res);
    if (!image) {
        reportnomemory(hWnd);
        PostMessageA(hWnd, WM_DESTROY, 0, 0);
        return false;
    }
    useoffscreen(s, std::move(image));
    d.shell.previewsave = Surface::create(previewwidth, previewheight);
    d.shell.si = SCROLLINFO{};
    d.shell.si.nMin = 0;
    return true;
}

bool rebuildoffscreen(EngineState& s, HWND hWnd, int previousres)
{
    auto image = Surface::create(s.res, s.res);
    if (!image) {
        reportnomemory(hWnd);
        s.res = previousres;
        return false;
    }
    useoffscreen(s, std::move(image));
    RECT client;
    GetClientRect(hWnd, &client);
    s.newimage = 1;
    PostMessageA(hWnd, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    return true;
}

void releaseviewbuffers(Desktop& d)
{
    useoffscreen(d.engine, nullptr);
    d.shell.previewsave.reset();
}

void onsize(Desktop& d, HWND hWnd, int width, int height)
{
    EngineState& s = d.engine;
    // A fitted view follows the picture's size; the size it gets tells again.
    if (d.shell.fitwindow && (width != s.res || height != s.res)) {
        SetFixedClientSize(hWnd, s.res, s.res);
        return;
    }
    d.shell.ClientRes.right = width;
    d.shell.ClientRes.bottom = height;

    d.shell.xMaxScroll = s.res - width > 0 ? s.res - width : 0;
    if (s.res - d.shell.xCurrentScroll < width)
        d.shell.xCurrentScroll = d.shell.xMaxScroll;
    setbar(d, hWnd, SB_HORZ, width);

    d.shell.yMaxScroll = s.res - height > 0 ? s.res - height : 0;
    if (s.res - d.shell.yCurrentScroll < height)
        d.shell.yCurrentScroll = d.shell.yMaxScroll;
    setbar(d, hWnd, SB_VERT, height);
}

Surface* shownimage(const Desktop& d)
{
    if (d.shell.previewing && d.shell.previewimage)
        return d.shell.previewimage.get();
    return d.livetone.current && d.engine.okicon ? d.livetone.view.get() : d.engine.g_vhdc;
}

void onpaint(const Desktop& d, HWND hWnd)
{
    PAINTSTRUCT ps;
    BeginPaint(hWnd, &ps);
    const RECT& r = ps.rcPaint;
    BitBlt(ps.hdc, r.left, r.top, r.right - r.left, r.bottom - r.top, shownimage(d), r.left + d.shell.xCurrentScroll,
           r.top + d.shell.yCurrentScroll, SRCCOPY);
    EndPaint(hWnd, &ps);
}

void onscroll(ShellState& shell, HWND hWnd, int bar, int request, int thumb)
{
    const bool horizontal = bar == SB_HORZ;
    int& pos = position(shell, bar);
    const int max = horizontal ? shell.xMaxScroll : shell.yMaxScroll;
    const int page = horizontal ? shell.ClientRes.right : shell.ClientRes.bottom;
    // A pixel a step would take minutes across a large picture: a line, an
    // arrow key's or a scroll bar arrow's, is a tenth of what the window shows.
    const int line = page / 10 > 1 ? page / 10 : 1;
    switch (request) {
    case SB_LINEUP:
        pos = pos - line > 0 ? pos - line : 0;
        break;
    case SB_LINEDOWN:
        pos = pos + line < max ? pos + line : max;
        break;
    case SB_PAGEUP:
        pos = pos - page > 0 ? pos - page : 0;
        break;
    case SB_PAGEDOWN:
        pos = pos + page < max ? pos + page : max;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        pos = thumb < 0 ? 0 : (thumb > max ? max : thumb);
        break;
    // The ends of either bar: the horizontal one's move the view as the
    // vertical one's do.
    case SB_TOP:
        pos = 0;
        break;
    case SB_BOTTOM:
        if (pos < max)
            pos = max;
        break;
    default:
        break;
    }
    shell.si.fMask = SIF_POS;
    shell.si.nPos = pos;
    SetScrollInfo(hWnd, bar, &shell.si, 1);
    InvalidateRect(hWnd, nullptr, 0);
}

void onkeydown(HWND hWnd, int key)
{
    struct KeyScroll {
        int key, bar, request;
    };
    static constexpr KeyScroll scrollkeys[] = {
        {VK_PRIOR, SB_VERT, SB_PAGEUP},   {VK_NEXT, SB_VERT, SB_PAGEDOWN}, {VK_HOME, SB_VERT, SB_TOP},
        {VK_END, SB_VERT, SB_BOTTOM},     {VK_UP, SB_VERT, SB_LINEUP},     {VK_DOWN, SB_VERT, SB_LINEDOWN},
        {VK_LEFT, SB_HORZ, SB_LINELEFT}, {VK_RIGHT, SB_HORZ, SB_LINERIGHT},
    };
    for (const KeyScroll& k : scrollkeys)
        if (k.key == key)
            SendMessageA(hWnd, k.bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, static_cast<WPARAM>(k.request), 0);
}

} // namespace kt

#include "platform/dropfiles.h"

#include <algorithm>
#include <memory>

#include "base/program.h"
#include "platform/backend.h"

namespace kt {

struct Drop {
    std::vector<std::string> paths;
};

namespace {

// Drops posted and not yet finished; one whose message was never handled
// (its window went first) stays until the window system is reset.
struct Drops {
    std::vector<std::unique_ptr<Drop>> held;
};
Drops& drops = program().part<Drops>();

const Drop* held(HDROP drop)
{
    const auto at = std::find_if(drops.held.begin(), drops.held.end(),
                                 [drop](const std::unique_ptr<Drop>& d) { return d.get() == drop; });
    return at == drops.held.end() ? nullptr : at->get();
}

} // namespace

void DragAcceptFiles(HWND hwnd, BOOL accept)
{
    if (!IsWindow(hwnd) || hwnd->acceptsfiles == (accept != 0))
        return;
    hwnd->acceptsfiles = accept != 0;
    backend().windowchanged(hwnd);
}

void deliverdrop(HWND hwnd, const std::vector<std::string>& paths)
{
    if (!IsWindowEnabled(hwnd) || !hwnd->acceptsfiles || paths.empty())
        return;
    drops.held.push_back(std::make_unique<Drop>(Drop{paths}));
    PostMessageA(hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(drops.held.back().get()), 0);
}

UINT DragQueryFileA(HDROP drop, UINT index, std::string* path)
{
    const Drop* d = held(drop);
    if (!d)
        return 0;
    if (index == 0xFFFFFFFFu)
        return static_cast<UINT>(d->paths.size());
    if (index >= d->paths.size())
        return 0;
    if (path)
        *path = d->paths[index];
    return static_cast<UINT>(d->paths[index].size());
}

void DragFinish(HDROP drop)
{
    std::erase_if(drops.held, [drop](const std::unique_ptr<Drop>& d) { return d.get() == drop; });
}

} // namespace kt

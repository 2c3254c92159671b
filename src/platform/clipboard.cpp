#include "platform/clipboard.h"

#include <memory>

#include "base/program.h"
#include "platform/backend.h"

namespace kt {

namespace {

struct Clipboard {
    std::unique_ptr<Surface> image;
};
Clipboard& clipboard = program().part<Clipboard>();

} // namespace

BOOL SetClipboardImage(HDC source, int x, int y, int w, int h)
{
    if (!source || w <= 0 || h <= 0 || !source->contains(x, y) || !source->contains(x + w - 1, y + h - 1))
        return 0;
    auto copy = Surface::create(w, h);
    if (!copy)
        return 0;
    copy->blit(0, 0, w, h, *source, x, y);
    if (!backend().copyimage(*copy))
        return 0;
    clipboard.image = std::move(copy);
    return 1;
}

const Surface* clipboardimage()
{
    return clipboard.image.get();
}

} // namespace kt

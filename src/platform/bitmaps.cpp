#include "platform/bitmaps.h"

#include <png.h>

#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace kt {

namespace {

struct Resource {
    const unsigned char* png;
    std::size_t size;
};

std::map<std::string, Resource>& resources()
{
    static std::map<std::string, Resource> table;
    return table;
}

std::set<std::string>& failing()
{
    static std::set<std::string> names;
    return names;
}

std::unique_ptr<Surface>& icon()
{
    static std::unique_ptr<Surface> bitmap;
    return bitmap;
}

HBITMAP decode(const Resource& resource)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, resource.png, resource.size))
        return nullptr;
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr))
        return nullptr;
    auto bitmap = Surface::create(static_cast<int>(image.width), static_cast<int>(image.height));
    if (!bitmap)
        return nullptr;
    for (int y = 0; y < bitmap->height(); ++y)
        for (int x = 0; x < bitmap->width(); ++x) {
            const png_byte* p = &rgb[3 * (static_cast<std::size_t>(y) * bitmap->width() + x)];
            bitmap->setpixel(x, y, RGB(p[0], p[1], p[2]));
        }
    return bitmap.release();
}

} // namespace

HBITMAP LoadBitmapA(HINSTANCE, const char* name)
{
    if (!name || failing().count(name))
        return nullptr;
    const auto found = resources().find(name);
    return found == resources().end() ? nullptr : decode(found->second);
}

BOOL DeleteObject(HBITMAP bitmap)
{
    if (!bitmap)
        return 0;
    delete bitmap;
    return 1;
}

void registerbitmapresource(const std::string& name, const unsigned char* png, std::size_t size)
{
    resources()[name] = Resource{png, size};
}

void setprogramicon(HBITMAP bitmap)
{
    icon().reset(bitmap);
}

const Surface* programicon()
{
    return icon().get();
}

void injectbitmapfailure(const std::string& name)
{
    failing().insert(name);
}

void resetbitmapresources()
{
    failing().clear();
    icon().reset();
}

} // namespace kt

#pragma once
// Bitmaps: surfaces that are not windows, made blank or loaded from the
// program's artwork resources (PNG data registered by name).
#include <cstddef>
#include <string>

#include "base/surface.h"
#include "platform/window.h"

namespace kt {

using HBITMAP = Surface*;

// The named artwork; nullptr when there is none or it cannot be decoded.
HBITMAP LoadBitmapA(HINSTANCE instance, const char* name);
BOOL DeleteObject(HBITMAP bitmap);

// The data stays where it is: resources are static.
void registerbitmapresource(const std::string& name, const unsigned char* png, std::size_t size);

// The program's icon, for a backend that shows one; the platform takes the
// bitmap over until another is set or the window system is reset.
void setprogramicon(HBITMAP icon);
const Surface* programicon(); // nullptr when there is none

// Test hook: loading the named bitmap fails until the window system is reset.
void injectbitmapfailure(const std::string& name);
void resetbitmapresources();

} // namespace kt

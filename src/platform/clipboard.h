#pragma once
// The clipboard, for pictures: what is put there is a copy, which other
// programs can paste.
#include "platform/gdi.h"

namespace kt {

// Copies a w x h block from (x, y) of `source` to the clipboard; FALSE when
// there is nothing to copy or the copy cannot be made.
BOOL SetClipboardImage(HDC source, int x, int y, int w, int h);
// The picture put on the clipboard last, nullptr for none.
const Surface* clipboardimage();

} // namespace kt

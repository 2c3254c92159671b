#pragma once
// Zero-filled heap blocks for the large buffers (hit counts, line buffers,
// equalization tables). Failure is an ordinary result the callers report.
#include <cstddef>

#include "platform/wintypes.h"

namespace kt {

using HLOCAL = void*;
constexpr UINT LMEM_ZEROINIT = 0x0040;
constexpr UINT LPTR = 0x0040;

// nullptr when the block cannot be had. Every block is zero-filled.
HLOCAL LocalAlloc(UINT flags, std::size_t bytes);
// Returns nullptr, as the block is gone.
HLOCAL LocalFree(HLOCAL block);

// Makes the next `count` calls of LocalAlloc fail, so that the callers' failure
// paths can be exercised without exhausting the machine.
void injectallocationfailures(int count);

} // namespace kt

#include "base/memory.h"

#include <cstdlib>

namespace kt {

namespace {
int pendingFailures = 0;
}

HLOCAL LocalAlloc(unsigned, std::size_t bytes)
{
    if (pendingFailures > 0) {
        --pendingFailures;
        return nullptr;
    }
    return std::calloc(bytes == 0 ? 1 : bytes, 1);
}

HLOCAL LocalFree(HLOCAL block)
{
    std::free(block);
    return nullptr;
}

void injectallocationfailures(int count)
{
    pendingFailures = count;
}

} // namespace kt

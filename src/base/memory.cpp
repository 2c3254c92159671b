#include "base/memory.h"

#include <cstdlib>

namespace kt {

namespace {
int pendingFailures = 0;
}

void* LocalAlloc(std::size_t bytes)
{
    if (pendingFailures > 0) {
        --pendingFailures;
        return nullptr;
    }
    return std::calloc(bytes == 0 ? 1 : bytes, 1);
}

void LocalFree(void* block)
{
    std::free(block);
}

void injectallocationfailures(int count)
{
    pendingFailures = count;
}

} // namespace kt

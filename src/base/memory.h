#pragma once
// Zero-filled heap blocks for the large buffers (hit counts, line buffers,
// equalization tables). Failure is an ordinary result the callers report.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace kt {

// nullptr when the block cannot be had. Every block is zero-filled.
void* LocalAlloc(std::size_t bytes);
void LocalFree(void* block);

// An array of `count` zeroed T in a LocalAlloc block, freed with the pointer;
// null when the block cannot be had. For types that zero bytes make valid.
struct LocalFreer {
    void operator()(void* block) const { LocalFree(block); }
};
template <typename T>
using LocalArray = std::unique_ptr<T[], LocalFreer>;
template <typename T>
LocalArray<T> localarray(std::size_t count)
{
    if (count > SIZE_MAX / sizeof(T))
        return nullptr;
    return LocalArray<T>(static_cast<T*>(LocalAlloc(count * sizeof(T))));
}

// Makes the next `count` calls of LocalAlloc fail, so that the callers' failure
// paths can be exercised without exhausting the machine.
void injectallocationfailures(int count);

} // namespace kt

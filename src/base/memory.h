#pragma once
// Zero-filled heap blocks for the large buffers (hit counts, line buffers,
// equalization tables). Failure is an ordinary result the callers report.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

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

// Blocks of many megabytes, which a render touches all over, are laid on large
// pages where the system offers them: a miss in the address translation then
// costs far less. Zero-filled; nullptr when the block cannot be had; freed
// with LocalFree. LocalAlloc gives big blocks the same way.
void* largeblock(std::size_t bytes);

// Whether big blocks go on large pages (the default); off, they come from the
// ordinary heap, so that a measurement can tell what the pages are worth.
void uselargepages(bool on);

// For containers of pictures: their storage is a large block when it is big.
template <typename T>
struct LargeBlockAllocator {
    using value_type = T;
    LargeBlockAllocator() = default;
    template <typename U>
    LargeBlockAllocator(const LargeBlockAllocator<U>&) noexcept
    {
    }
    T* allocate(std::size_t count)
    {
        void* block = count > SIZE_MAX / sizeof(T) ? nullptr : largeblock(count * sizeof(T));
        if (!block)
            throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, std::size_t) noexcept { LocalFree(block); }
    template <typename U>
    bool operator==(const LargeBlockAllocator<U>&) const noexcept
    {
        return true;
    }
};

} // namespace kt

#include "base/memory.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <mutex>

namespace kt {

namespace {

int pendingFailures = 0;
std::atomic<bool> largepages = true;

// The size of a large page where the system has them (x86-64 and most others).
constexpr std::size_t largepage = std::size_t{2} << 20;
// Below this a block is left to the ordinary heap: a large page would mostly
// hold nothing.
constexpr std::size_t largeblockfrom = 2 * largepage;

std::size_t roundedup(std::size_t bytes)
{
    return (bytes + largepage - 1) / largepage * largepage;
}

// A mapping aligned to a large page, so that every large page in it can be
// one; the system may still decline them, which changes nothing but speed.
void* mappedblock(std::size_t bytes)
{
    const std::size_t length = roundedup(bytes);
    if (length < bytes || length + largepage < length)
        return nullptr;
    void* mapped = mmap(nullptr, length + largepage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + largepage - 1) / largepage * largepage;
    if (aligned > start)
        munmap(mapped, aligned - start);
    if (const std::size_t tail = start + largepage - aligned; tail > 0)
        munmap(reinterpret_cast<void*>(aligned + length), tail);
    void* block = reinterpret_cast<void*>(aligned);
    madvise(block, length, MADV_HUGEPAGE);
    return block;
}

// LocalFree is told no size: the mapped blocks' sizes are kept here.
std::mutex mappedmutex;
std::map<void*, std::size_t>& mappedsizes()
{
    static std::map<void*, std::size_t> sizes;
    return sizes;
}

} // namespace

void* largeblock(std::size_t bytes)
{
    if (bytes < largeblockfrom || !largepages)
        return std::calloc(bytes == 0 ? 1 : bytes, 1);
    void* block = mappedblock(bytes);
    if (block) {
        std::lock_guard<std::mutex> lock(mappedmutex);
        mappedsizes()[block] = bytes;
    }
    return block;
}

void uselargepages(bool on)
{
    largepages = on;
}

void* LocalAlloc(std::size_t bytes)
{
    if (pendingFailures > 0) {
        --pendingFailures;
        return nullptr;
    }
    return largeblock(bytes);
}

void LocalFree(void* block)
{
    if (!block)
        return;
    {
        std::lock_guard<std::mutex> lock(mappedmutex);
        const auto found = mappedsizes().find(block);
        if (found != mappedsizes().end()) {
            munmap(block, roundedup(found->second));
            mappedsizes().erase(found);
            return;
        }
    }
    std::free(block);
}

void injectallocationfailures(int count)
{
    pendingFailures = count;
}

} // namespace kt

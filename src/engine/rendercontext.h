#pragma once
// What a render is run with besides its state: the threads that share its
// work, where what the user should see goes, whether its owner wants it
// stopped, and the memory it may take. Compute code is handed one and
// reaches for nothing process-wide, so renders of separate contexts run side
// by side in one process, each on its own threads and each shown its own
// way. A program makes one for each run (the batch renderer) or one for its
// life (the desktop program).
#include <cstdint>
#include <functional>
#include <limits>

#include "engine/presentation.h"
#include "engine/workers.h"

namespace kt {

class RenderContext {
public:
    // Shows nothing.
    explicit RenderContext(int threads = processorcount(), int startable = maxworkerthreads)
        : workers(threads, startable), shown_(&unseen_)
    {
    }
    explicit RenderContext(Presentation& shown, int threads = processorcount(), int startable = maxworkerthreads)
        : workers(threads, startable), shown_(&shown)
    {
    }
    RenderContext(const RenderContext&) = delete;
    RenderContext& operator=(const RenderContext&) = delete;

    Presentation& shown() const { return *shown_; }
    // For an owner that watches its program's events for a while.
    void showon(Presentation& shown) { shown_ = &shown; }

    // Whether a file being written is to be given up: its temporary removed
    // and the file it would replace kept. Only once the owner asked the work
    // to stop, and only when it said that a half-saved file is worth nothing.
    bool saveabandoned() const { return abandonsaves && cancelled(); }

    Workers workers;
    // Asked at the work's safe points: whether its owner wants it stopped.
    std::function<bool()> cancelled = [] { return false; };
    bool abandonsaves = false;
    // Bytes the render may take.
    std::uint64_t memorybudget = std::numeric_limits<std::uint64_t>::max();

private:
    Presentation unseen_;
    Presentation* shown_;
};

} // namespace kt

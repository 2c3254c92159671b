#pragma once
// Work on numbered blocks in three stages: produce each block in order on the
// calling thread, transform the blocks on every worker thread in any order,
// consume them in order on the calling thread. A block is transformed only
// after it was produced and consumed only after it was transformed, so the
// result is the same for any number of threads.
#include <functional>

namespace kt {

class RenderContext;

// At most `inflight` blocks are produced and not yet consumed at any time, so
// a caller may keep that many blocks' buffers and reuse them in turn
// (block k in buffer k % inflight). Once every block is consumed, each
// thread calls `together`, which shares out work of its own among however
// many come (one that comes late may find none left), and the pipeline
// returns when all have returned.
void runblockpipeline(
    RenderContext& ctx, int blocks, int inflight, const std::function<void(int)>& produce,
    const std::function<void(int)>& transform, const std::function<void(int)>& consume,
    const std::function<void()>& together = [] {});

} // namespace kt

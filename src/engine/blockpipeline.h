#pragma once
// Work on numbered blocks in three stages: produce each block in order on the
// calling thread, transform the blocks on every worker thread in any order,
// consume them in order on the calling thread. A block is transformed only
// after it was produced and consumed only after it was transformed, so the
// result is the same for any number of threads.
#include <functional>

namespace kt {

void runblockpipeline(int blocks, const std::function<void(int)>& produce, const std::function<void(int)>& transform,
                      const std::function<void(int)>& consume);

} // namespace kt

#include "engine/blockpipeline.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "engine/rendercontext.h"

namespace kt {

namespace {

class BlockSchedule {
public:
    BlockSchedule(int blocks, const std::function<void(int)>& transform, const std::function<void(int)>& consume)
        : blocks_(blocks), transformed_(static_cast<std::size_t>(blocks), false), transform_(transform),
          consume_(consume)
    {
    }

    void produced(int block)
    {
        {
            std::lock_guard<std::mutex> lock(m_);
            produced_ = block + 1;
        }
        changed_.notify_all();
    }

    // For the other threads: transforms produced blocks until every block is
    // taken, then waits until every block is consumed.
    void serve()
    {
        for (;;) {
            int block;
            {
                std::unique_lock<std::mutex> lock(m_);
                changed_.wait(lock, [this] { return claimed_ < produced_ || claimed_ == blocks_; });
                if (claimed_ == blocks_) {
                    changed_.wait(lock, [this] { return consumed_ == blocks_; });
                    return;
                }
                block = claimed_++;
            }
            transform_(block);
            {
                std::lock_guard<std::mutex> lock(m_);
                transformed_[static_cast<std::size_t>(block)] = true;
            }
            changed_.notify_all();
        }
    }

    // For the calling thread: consumes in order up to block `until`
    // (exclusive), helping to transform while the next block is not ready.
    void consumeuntil(int until)
    {
        std::unique_lock<std::mutex> lock(m_);
        while (consumed_ < until) {
            if (transformed_[static_cast<std::size_t>(consumed_)]) {
                lock.unlock();
                consume_(consumed_);
                lock.lock();
                ++consumed_;
            } else if (claimed_ < produced_) {
                const int block = claimed_++;
                lock.unlock();
                transform_(block);
                lock.lock();
                transformed_[static_cast<std::size_t>(block)] = true;
            } else {
                changed_.wait(lock);
            }
        }
        lock.unlock();
        changed_.notify_all();
    }

    int consumed()
    {
        std::lock_guard<std::mutex> lock(m_);
        return consumed_;
    }

private:
    const int blocks_;
    std::mutex m_;
    std::condition_variable changed_;
    std::vector<bool> transformed_;
    const std::function<void(int)>& transform_;
    const std::function<void(int)>& consume_;
    int produced_ = 0;
    int claimed_ = 0;
    int consumed_ = 0;
};

} // namespace

void runblockpipeline(RenderContext& ctx, int blocks, int inflight, const std::function<void(int)>& produce,
                      const std::function<void(int)>& transform, const std::function<void(int)>& consume,
                      const std::function<void()>& together)
{
    inflight = std::max(inflight, 1);
    BlockSchedule schedule(blocks, transform, consume);
    ctx.workers.run([&](int index) {
        if (index != 0) {
            schedule.serve();
            together();
            return;
        }
        for (int block = 0; block < blocks; ++block) {
            if (block - schedule.consumed() >= inflight)
                schedule.consumeuntil(block - inflight + 1);
            produce(block);
            schedule.produced(block);
        }
        schedule.consumeuntil(blocks);
        together();
    });
}

} // namespace kt

#include "engine/blockpipeline.h"

#include <condition_variable>
#include <mutex>
#include <vector>

#include "engine/workers.h"

namespace kt {

namespace {

class BlockSchedule {
public:
    explicit BlockSchedule(int blocks) : blocks_(blocks), transformed_(static_cast<std::size_t>(blocks), false) {}

    void produced(int block)
    {
        {
            std::lock_guard<std::mutex> lock(m_);
            produced_ = block + 1;
        }
        changed_.notify_all();
    }

    // The next produced block that nobody transforms yet, or -1 once every
    // block is taken.
    int claim()
    {
        std::unique_lock<std::mutex> lock(m_);
        changed_.wait(lock, [this] { return claimed_ < produced_ || claimed_ == blocks_; });
        return claimed_ == blocks_ ? -1 : claimed_++;
    }

    void transformed(int block)
    {
        {
            std::lock_guard<std::mutex> lock(m_);
            transformed_[static_cast<std::size_t>(block)] = true;
        }
        changed_.notify_all();
    }

    // On the calling thread, once everything is produced: helps transform,
    // and consumes each block as soon as it and all before it are done.
    void finish(const std::function<void(int)>& transform, const std::function<void(int)>& consume)
    {
        int next = 0;
        std::unique_lock<std::mutex> lock(m_);
        while (next < blocks_) {
            if (transformed_[static_cast<std::size_t>(next)]) {
                lock.unlock();
                consume(next++);
                lock.lock();
            } else if (claimed_ < blocks_) {
                const int block = claimed_++;
                lock.unlock();
                transform(block);
                lock.lock();
                transformed_[static_cast<std::size_t>(block)] = true;
            } else {
                changed_.wait(lock);
            }
        }
    }

private:
    const int blocks_;
    std::mutex m_;
    std::condition_variable changed_;
    std::vector<bool> transformed_;
    int produced_ = 0;
    int claimed_ = 0;
};

} // namespace

void runblockpipeline(int blocks, const std::function<void(int)>& produce, const std::function<void(int)>& transform,
                      const std::function<void(int)>& consume)
{
    BlockSchedule schedule(blocks);
    runonworkers([&](int index) {
        if (index != 0) {
            for (int block; (block = schedule.claim()) >= 0;) {
                transform(block);
                schedule.transformed(block);
            }
            return;
        }
        for (int block = 0; block < blocks; ++block) {
            produce(block);
            schedule.produced(block);
        }
        schedule.finish(transform, consume);
    });
}

} // namespace kt

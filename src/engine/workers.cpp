#include "engine/workers.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <new>
#include <system_error>

namespace kt {

namespace {

thread_local bool insidejob = false;

void reportfewerthreads(int started, int asked)
{
    std::fprintf(stderr,
                 "%s: only %d of %d threads could be started; the work goes on with %d, with the same "
                 "result\n",
                 program_invocation_short_name, started, asked, started);
}

} // namespace

int processorcount()
{
    const unsigned count = std::thread::hardware_concurrency();
    return std::clamp(static_cast<int>(count), 1, maxworkerthreads);
}

Workers::Workers(int count, int startable)
    : startable_(std::clamp(startable, 0, maxworkerthreads)), count_(std::clamp(count, 1, maxworkerthreads))
{
}

Workers::~Workers()
{
    stop();
}

void Workers::resize(int count)
{
    std::lock_guard<std::mutex> running(busy_);
    stop();
    count_ = std::clamp(count, 1, maxworkerthreads);
}

bool Workers::withinjob()
{
    return insidejob;
}

void Workers::run(const std::function<void(int)>& job)
{
    std::unique_lock<std::mutex> running(busy_, std::try_to_lock);
    if (insidejob || !running.owns_lock() || count_ == 1) {
        job(0);
        return;
    }
    start();
    {
        std::lock_guard<std::mutex> lock(m_);
        job_ = &job;
        unfinished_ = static_cast<int>(threads_.size());
        ++generation_;
    }
    wake_.notify_all();
    insidejob = true;
    job(0);
    insidejob = false;
    awaitothers();
    std::unique_lock<std::mutex> lock(m_);
    finished_.wait(lock, [this] { return unfinished_ == 0; });
    job_ = nullptr;
}

// Threads start on the first job, so work that is never shared out never
// has them.
void Workers::start()
{
    if (!threads_.empty())
        return;
    stopping_ = false;
    // A system short of processes or memory refuses a thread: the work is
    // shared among those that did start, the calling thread at least.
    for (int index = 1; index < count_.load(); ++index) {
        try {
            if (static_cast<int>(threads_.size()) >= startable_)
                throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
            threads_.emplace_back([this, index, seen = generation_.load()] { serve(index, seen); });
        } catch (const std::system_error&) {
            break;
        } catch (const std::bad_alloc&) {
            break;
        }
    }
    // Said once for each count asked, as the fewer threads then stay.
    const int started = static_cast<int>(threads_.size()) + 1;
    if (started < count_.load()) {
        reportfewerthreads(started, count_.load());
        count_.store(started);
    }
}

void Workers::stop()
{
    {
        std::lock_guard<std::mutex> lock(m_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
    threads_.clear();
}

// A render batch hands out its next job within microseconds of the last;
// waiting that long awake spares the thread a sleep and a wake-up per batch.
// Any longer pause (the program paused) finds it asleep.
void Workers::awaitnextjob(std::uint64_t seen) const
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(100);
    while (generation_.load() == seen && std::chrono::steady_clock::now() < until)
        std::this_thread::yield();
}

// The other threads of a render batch finish within microseconds of this
// one; waiting that long awake spares this thread a sleep and a wake-up,
// which on a busy machine can take far longer than the batch.
void Workers::awaitothers() const
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(100);
    while (unfinished_.load() != 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::yield();
}

// `seen` is the last job started before this thread was.
void Workers::serve(int index, std::uint64_t seen)
{
    insidejob = true;
    for (;;) {
        const std::function<void(int)>* job;
        awaitnextjob(seen);
        {
            std::unique_lock<std::mutex> lock(m_);
            wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
            if (stopping_)
                return;
            seen = generation_;
            job = job_;
        }
        (*job)(index);
        std::lock_guard<std::mutex> lock(m_);
        if (--unfinished_ == 0)
            finished_.notify_one();
    }
}

} // namespace kt

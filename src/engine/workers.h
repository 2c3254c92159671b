#pragma once
// Worker threads that share out one render's work: the one place that says
// how many threads a job runs on. They sleep whenever no job runs, so a
// paused program is idle. Each render owns its own, so renders side by side
// never wait on one another's jobs.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kt {

constexpr int maxworkerthreads = 256;
int processorcount();

class Workers {
public:
    // `count` is clamped to 1 .. maxworkerthreads. `startable` plays a system
    // out of processes for the tests: it refuses more than that many threads
    // besides the calling one.
    explicit Workers(int count = processorcount(), int startable = maxworkerthreads);
    ~Workers();
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    // The threads that share work: fewer than asked when the system would
    // not start them all (which stderr is told once).
    int threads() const { return count_.load(); }
    // Between jobs: the threads stop, and as many as asked start with the next.
    void resize(int count);

    // Runs job(index) once on each of threads() threads, index 0 on the
    // calling thread, and returns when all have returned. A job must finish
    // its whole work on index 0 alone: called from inside a job (of any
    // workers), or while another thread's job runs, only index 0 runs.
    void run(const std::function<void(int index)>& job);

    // Whether this thread runs a share of a job, so that run would run
    // index 0 alone.
    static bool withinjob();

    // Runs job(k) for k = 0 .. count - 1, each k once, taken in turn by
    // whichever thread is free.
    template <typename Job>
    void shareout(int count, const Job& job)
    {
        std::atomic<int> next{0};
        run([&](int) {
            for (int k = next++; k < count; k = next++)
                job(k);
        });
    }

private:
    void start();
    void stop();
    void awaitnextjob(std::uint64_t seen) const;
    void awaitothers() const;
    void serve(int index, std::uint64_t seen);

    const int startable_;
    std::mutex busy_; // held by the thread whose job runs
    std::mutex m_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::vector<std::thread> threads_;
    const std::function<void(int)>* job_ = nullptr;
    std::atomic<std::uint64_t> generation_ = 0; // changed under m_, also read without it
    std::atomic<int> unfinished_ = 0;           // changed under m_, also read without it
    bool stopping_ = false;
    std::atomic<int> count_; // lowered under busy_ when threads would not start, also read without it
};

} // namespace kt

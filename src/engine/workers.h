#pragma once
// The program's worker threads: the one place that says how many threads
// share out work. They sleep whenever no job runs, so a paused program is idle.
#include <atomic>
#include <functional>

namespace kt {

// 1 to maxworkerthreads; the default is the number of processors.
constexpr int maxworkerthreads = 256;
void setworkerthreads(int count);
int processorcount();
// The threads that share work: fewer than set when the system would not
// start them all (which stderr is told once).
int workerthreads();
// Test hook: the system refuses the pool more than this many threads besides
// the calling one.
void limitstartablethreads(int count);

// Runs job(index) once on each of workerthreads() threads, index 0 on the
// calling thread, and returns when all have returned. A job must finish its
// whole work on index 0 alone: called from inside a job, or while another
// thread's job runs, only index 0 runs.
void runonworkers(const std::function<void(int index)>& job);

// Whether this thread runs a share of a job, so that runonworkers would run
// index 0 alone.
bool withinjob();

// Runs job(k) for k = 0 .. count - 1 on the worker threads, each k once,
// taken in turn by whichever thread is free.
template <typename Job>
void shareout(int count, const Job& job)
{
    std::atomic<int> next{0};
    runonworkers([&](int) {
        for (int k = next++; k < count; k = next++)
            job(k);
    });
}

} // namespace kt

#pragma once
// A one-line progress bar: percent done, steps per second (or, counting whole
// items, how many are done), time left.
#include <chrono>
#include <cstdint>
#include <ostream>

namespace kt {

class Progress {
public:
    // `items` names what is counted, e.g. "entries"; without it, formula steps.
    Progress(std::ostream& out, std::uint64_t totalSteps, bool enabled, const char* items = nullptr);
    void update(std::uint64_t stepsDone);
    void finish();

    // The bar's text for a given state, without the carriage return.
    static std::string line(std::uint64_t done, std::uint64_t total, double seconds, const char* items = nullptr);

private:
    using Clock = std::chrono::steady_clock;
    std::ostream& out_;
    std::uint64_t total_;
    bool enabled_;
    const char* items_;
    Clock::time_point start_;
    Clock::time_point lastDrawn_;
};

} // namespace kt

#pragma once
// What a render run from Python looks at while the GIL is released: Ctrl-C
// (Python's signal handler only notes it, so it is asked for), the caller's
// progress function, and whatever either raised, to be raised again once the
// render has stopped.
#include <pybind11/pybind11.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <thread>

namespace kt {

class RenderWatch {
public:
    // `progress` is None or called with the share done; `total` steps.
    RenderWatch(pybind11::object progress, std::uint64_t total);

    // From the render's calling thread, without the GIL: whether it goes on.
    bool going(std::uint64_t done);
    // From any thread: whether the render is to stop. Only the calling
    // thread looks for Ctrl-C, since only it may take the GIL between steps.
    bool cancelled();
    // With the GIL: raises what stopped the render, if anything did.
    void raisestop();

private:
    bool look(std::optional<double> share);

    pybind11::object progress_;
    std::uint64_t total_;
    std::thread::id owner_ = std::this_thread::get_id();
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
    std::atomic<bool> stopped_{false};
    std::optional<pybind11::error_already_set> raised_;
};

} // namespace kt

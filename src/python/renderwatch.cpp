#include "python/renderwatch.h"

namespace py = pybind11;

namespace kt {

namespace {

// Often enough that Ctrl-C stops a render well within a second, seldom
// enough that taking the GIL costs the render nothing.
constexpr auto lookinterval = std::chrono::milliseconds(50);

} // namespace

RenderWatch::RenderWatch(py::object progress, std::uint64_t total)
    : progress_(std::move(progress)), total_(total ? total : 1)
{
}

bool RenderWatch::look(std::optional<double> share)
{
    py::gil_scoped_acquire gil;
    try {
        if (PyErr_CheckSignals() != 0)
            throw py::error_already_set();
        if (share && !progress_.is_none())
            progress_(*share);
    } catch (py::error_already_set& raised) {
        raised_.emplace(std::move(raised));
        stopped_.store(true);
    }
    return !stopped_.load();
}

bool RenderWatch::going(std::uint64_t done)
{
    if (stopped_.load())
        return false;
    const auto now = std::chrono::steady_clock::now();
    // The last share is always reported.
    if (done < total_ && now - last_ < lookinterval)
        return true;
    last_ = now;
    return look(static_cast<double>(std::min(done, total_)) / static_cast<double>(total_));
}

bool RenderWatch::cancelled()
{
    if (stopped_.load())
        return true;
    if (std::this_thread::get_id() != owner_)
        return false;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < lookinterval)
        return false;
    last_ = now;
    return !look(std::nullopt);
}

void RenderWatch::raisestop()
{
    if (raised_) {
        py::error_already_set raised = std::move(*raised_);
        raised_.reset();
        throw raised;
    }
}

} // namespace kt

#include "app/render/output/progress.h"

#include <cstdio>
#include <string>

namespace kt {

namespace {
constexpr auto redrawInterval = std::chrono::milliseconds(100);
constexpr int barWidth = 30;

std::string duration(double seconds)
{
    const auto whole = static_cast<long long>(seconds + 0.5);
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}
} // namespace

Progress::Progress(std::ostream& out, std::uint64_t totalSteps, bool enabled, const char* items)
    : out_(out), total_(totalSteps == 0 ? 1 : totalSteps), enabled_(enabled), items_(items), start_(Clock::now()),
      lastDrawn_()
{
}

std::string Progress::line(std::uint64_t done, std::uint64_t total, double seconds, const char* items)
{
    const double fraction = total ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
    const int filled = static_cast<int>(fraction * barWidth);
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(barWidth, ' ');
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    std::string left = rate > 0 ? duration(static_cast<double>(total - done) / rate) : "--:--";
    char text[160];
    if (items)
        std::snprintf(text, sizeof text, "%3d%% [%s] %llu/%llu %s, %s left", static_cast<int>(fraction * 100),
                      bar.c_str(), static_cast<unsigned long long>(done), static_cast<unsigned long long>(total), items,
                      left.c_str());
    else
        std::snprintf(text, sizeof text, "%3d%% [%s] %.2f M steps/s, %s left", static_cast<int>(fraction * 100),
                      bar.c_str(), rate / 1e6, left.c_str());
    return text;
}

void Progress::update(std::uint64_t stepsDone)
{
    if (!enabled_)
        return;
    const auto now = Clock::now();
    if (now - lastDrawn_ < redrawInterval)
        return;
    lastDrawn_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    out_ << '\r' << line(stepsDone, total_, seconds, items_) << std::flush;
}

void Progress::finish()
{
    if (!enabled_)
        return;
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    out_ << '\r' << line(total_, total_, seconds, items_) << '\n' << std::flush;
}

} // namespace kt

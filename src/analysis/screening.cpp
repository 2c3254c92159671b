#include "analysis/screening.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/formulas.h"

namespace kt {

namespace {

constexpr int iter = 10000;
constexpr int transient = 100;

template <std::size_t N>
constexpr std::array<real, N> gridboundaries()
{
    std::array<real, N> bounds{};
    for (std::size_t k = 0; k < N; ++k)
        bounds[k] = -1 + static_cast<real>(k + 1) / static_cast<real>(N / 2);
    return bounds;
}

constexpr std::array<real, 16> step16 = gridboundaries<16>();
constexpr std::array<real, 32> step32 = gridboundaries<32>();

// The smallest k with bounds[k] >= v: cells are half-open (bounds[k-1], bounds[k]].
template <std::size_t N>
int cell(const std::array<real, N>& bounds, real v)
{
    return static_cast<int>(std::lower_bound(bounds.begin(), bounds.end(), v) - bounds.begin());
}

} // namespace

double truncate12(double x)
{
    return std::floor(x * 1e12) * 1e-12;
}

void boxcount(ScreeningState& st, const VOXEL& point)
{
    const real x = point.x;
    const real y = point.y;
    if (!(x >= -1 && x <= 1 && y >= -1 && y <= 1))
        return;
    st.N16[cell(step16, y)][cell(step16, x)] = 1;
    st.N32[cell(step32, y)][cell(step32, x)] = 1;
}

double fractaldimension(const ScreeningState& st)
{
    int count16 = 0;
    int count32 = 0;
    for (const auto& row : st.N16)
        count16 += static_cast<int>(std::count(std::begin(row), std::end(row), 1));
    for (const auto& row : st.N32)
        count32 += static_cast<int>(std::count(std::begin(row), std::end(row), 1));
    if (count16 == 0 || count32 == 0)
        return 0.0;
    return std::log10(static_cast<double>(count32) / count16) * 3.321928094887362;
}

int testrp(const ICON& I, int type, ScreeningState& st)
{
    // The test runs an orbit of its own: a set that is refused, or never
    // rendered, leaves the picture being rendered exactly as it was.
    EngineState trial;
    trial.type = type;
    trial.icon[type] = I;
    trial.newimage = 1;
    loadorbit(trial, I);
    std::fill(&st.N16[0][0], &st.N16[0][0] + 16 * 16, 0);
    std::fill(&st.N32[0][0], &st.N32[0][0] + 32 * 32, 0);
    real logaccum = 0;
    VOXEL ze{};
    VOXEL& z = trial.z;

    for (int i = 0; i < iter; ++i) {
        if (i == transient) {
            ze = z;
            ze.x += static_cast<real>(1e-6);
        }
        if (fpointer[trial.type](trial, &z, I.n, I.p, i))
            return screenescape;
        if (i < transient)
            continue;
        if (fpointer[trial.type](trial, &ze, I.n, I.p, i))
            return screenescape;
        boxcount(st, z);

        const real dx = ze.x - z.x;
        const real dy = ze.y - z.y;
        real distance = sqrtl(dx * dx + dy * dy);
        if (distance < static_cast<real>(1e-16))
            distance = static_cast<real>(1e-16);
        const real resp = logl(distance * 1e6L);
        logaccum += resp;
        const real dfactor = static_cast<real>(1e-6) / distance;
        ze.x = z.x + dx * dfactor;
        ze.y = z.y + dy * dfactor;
    }

    st.LExp = truncate12(static_cast<double>(logaccum / (iter - transient)));
    st.FD = truncate12(fractaldimension(st));
    if (st.LExp < 0.075)
        return screennotchaotic;
    if (st.FD < st.FDLimit)
        return screenlowdimension;
    return screenpass;
}

} // namespace kt

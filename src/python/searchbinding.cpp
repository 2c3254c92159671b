#include "python/searchbinding.h"

#include <pybind11/stl.h>

#include <array>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "analysis/randomsearch.h"
#include "analysis/screening.h"
#include "analysis/screenreport.h"
#include "engine/picture.h"
#include "engine/rendercontext.h"
#include "python/errors.h"
#include "python/renderwatch.h"

namespace py = pybind11;

namespace kt {

namespace {

constexpr double minfdlimit = 0.25, maxfdlimit = 1.75;
constexpr long long maxseed = 4294967295LL;

ScreeningState screeningfor(double fdlimit)
{
    if (!(fdlimit >= minfdlimit && fdlimit <= maxfdlimit))
        raisevalue("fd_limit takes a number from 0.25 to 1.75");
    ScreeningState st;
    st.FDLimit = fdlimit;
    return st;
}

struct Screen {
    std::string verdict;
    std::optional<double> lyapunov;
    std::optional<double> dimension;
    std::string text;
};

Screen screen(const Picture& p, double fdlimit)
{
    if (const std::string problem = pictureproblem(p); !problem.empty())
        raisevalue(problem);
    ScreeningState st = screeningfor(fdlimit);
    ScreenReport report;
    {
        py::gil_scoped_release released;
        report = screenreport(p.set, p.formula - 1, st);
    }
    Screen result{verdictname(report.verdict), std::nullopt, std::nullopt, report.text};
    if (report.verdict != screenescape) {
        result.lyapunov = st.LExp;
        result.dimension = st.FD;
    }
    return result;
}

// One search stream, as a gallery's entries take it: seeded once, each set
// found from where the last search left the generator.
class RandomSets {
public:
    RandomSets(long long seed, int formula, double fdlimit, std::optional<std::array<double, 3>> start)
        : screening_(screeningfor(fdlimit))
    {
        if (seed < 0 || seed > maxseed)
            raisevalue("seed takes a whole number from 0 to 4294967295");
        if (formula != 1 && formula != 2)
            raisevalue("formula takes 1 or 2");
        state_.type = formula - 1;
        ICON& set = state_.icon[state_.type];
        if (start) {
            set.xstart = (*start)[0];
            set.ystart = (*start)[1];
            set.zstart = (*start)[2];
        }
        if (!startpointscreenable(set))
            raisevalue(flattened(searchfailure(searchbadstart)));
        ktseed(search_, static_cast<std::uint32_t>(seed));
    }

    // Ctrl-C stops the search between candidates and leaves the stream
    // where it was, so that the next call finds the set this one would have.
    Picture next()
    {
        RenderWatch watch(py::none(), 0);
        RenderContext ctx(1);
        ctx.cancelled = [&watch] { return watch.cancelled(); };
        const SearchState before = search_;
        int result;
        {
            py::gil_scoped_release released;
            result = nextrandomparams(ctx, state_, search_, screening_, answeryes);
        }
        if (result == searchstopped) {
            search_ = before;
            watch.raisestop();
        }
        if (result != searchaccepted)
            throw std::runtime_error(flattened(searchfailure(result)));
        Picture p = builtinpicture(state_.type + 1);
        p.set = state_.icon[state_.type];
        return p;
    }

private:
    EngineState state_;
    SearchState search_;
    ScreeningState screening_;
};

} // namespace

void bindsearch(py::module_& m)
{
    py::class_<Screen>(m, "Screen", "The chaos screen's verdict on a set.")
        .def_readonly("verdict", &Screen::verdict, "pass, escape, not chaotic or low dimension")
        .def_property_readonly("passed", [](const Screen& s) { return s.verdict == verdictname(screenpass); })
        .def_readonly("lyapunov", &Screen::lyapunov, "The Lyapunov exponent; None when the orbit escapes.")
        .def_readonly("fractal_dimension", &Screen::dimension, "None when the orbit escapes.")
        .def_readonly("text", &Screen::text, "What the batch renderer's --screen prints.")
        .def("__str__", [](const Screen& s) { return s.text; })
        .def("__repr__", [](const Screen& s) { return "<Screen " + s.verdict + ">"; });
    m.def("screen", &screen, py::arg("picture"), py::arg("fd_limit") = 1.5,
          "Screens the picture's set under its formula.");

    py::class_<RandomSets>(m, "RandomSets", "Screened random sets of one seed's search stream.")
        .def("__iter__", [](py::object self) { return self; })
        .def("__next__", &RandomSets::next);
    m.def(
        "random_sets",
        [](long long seed, int formula, double fdlimit, std::optional<std::array<double, 3>> start) {
            return std::make_unique<RandomSets>(seed, formula, fdlimit, start);
        },
        py::arg("seed"), py::arg("formula") = 1, py::arg("fd_limit") = 1.5, py::arg("start") = py::none(),
        "The sets --explore draws with this --seed, each on the built-in picture of the formula; from `start`, "
        "as from a parameter file's start point, when given.");
}

} // namespace kt

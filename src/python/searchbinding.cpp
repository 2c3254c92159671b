#include "python/searchbinding.h"

#include <pybind11/stl.h>

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
    RandomSets(long long seed, int formula, double fdlimit) : screening_(screeningfor(fdlimit))
    {
        if (seed < 0 || seed > maxseed)
            raisevalue("seed takes a whole number from 0 to 4294967295");
        if (formula != 1 && formula != 2)
            raisevalue("formula takes 1 or 2");
        state_.type = formula - 1;
        ktseed(search_, static_cast<std::uint32_t>(seed));
    }

    Picture next()
    {
        int result;
        {
            py::gil_scoped_release released;
            result = nextrandomparams(ctx_, state_, search_, screening_, answeryes);
        }
        if (result != searchaccepted)
            throw std::runtime_error(flattened(searchfailure(result)));
        Picture p = builtinpicture(state_.type + 1);
        p.set = state_.icon[state_.type];
        return p;
    }

private:
    RenderContext ctx_{1};
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
        [](long long seed, int formula, double fdlimit) {
            return std::make_unique<RandomSets>(seed, formula, fdlimit);
        },
        py::arg("seed"), py::arg("formula") = 1, py::arg("fd_limit") = 1.5,
        "The sets --explore draws with this --seed, each on the built-in picture of the formula.");
}

} // namespace kt

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "base/program.h"
#include "image/mapfile.h"
#include "platform/window.h"
#include "shell/desktop.h"

namespace kt {
namespace {

// A new desktop starts as the program does, whatever the one before it went
// through, and the one reset puts the window system back: a part kept
// outside the desktop, or one left uninitialised, would carry one test's or
// one run's state into the next.
TEST(Program, ANewDesktopAndTheResetWindowSystemAreAsAtStart)
{
    struct Part {
        std::string name;
        std::function<void(Desktop&)> change;
        std::function<bool(const Desktop&)> asatstart;
    };
    const Part parts[] = {
        {"engine",
         [](Desktop& d) {
             d.engine.res = 1234;
             d.engine.hitcount = localarray<float>(4);
         },
         [](const Desktop& d) { return d.engine.res == 600 && !d.engine.hitcount; }},
        {"file names", [](Desktop& d) { d.filenames.tgafile = "x.tga"; },
         [](const Desktop& d) { return d.filenames.tgafile.empty(); }},
        {"filters", [](Desktop& d) { d.filters.nadjust = 9; }, [](const Desktop& d) { return d.filters.nadjust == 5; }},
        {"histogram counts", [](Desktop& d) { d.hist256.fill(3); },
         [](const Desktop& d) { return d.hist256 == PaletteCounts{}; }},
        {"palette being read", [](Desktop& d) { d.paltemp.fill(9); },
         [](const Desktop& d) { return d.paltemp == Palette{}; }},
        {"screening", [](Desktop& d) { d.screening.FDLimit = 0.5; },
         [](const Desktop& d) { return d.screening.FDLimit == 1.5; }},
        {"search", [](Desktop& d) { d.search.count = 12; }, [](const Desktop& d) { return d.search.count == 0; }},
        {"parameter dialog", [](Desktop& d) { d.paramsaves.savetype = 1; },
         [](const Desktop& d) { return d.paramsaves.savetype == 0; }},
        {"file dialogs", [](Desktop& d) { d.filedialogs.ofn.nFilterIndex = 3; },
         [](const Desktop& d) { return d.filedialogs.ofn.nFilterIndex == 1; }},
        {"desktop", [](Desktop& d) { d.shell.aboutflag = 1; }, [](const Desktop& d) { return d.shell.aboutflag == 0; }},
        {"window system", [](Desktop&) { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); },
         [](const Desktop&) { return GetCursor() == LoadCursorA(nullptr, IDC_ARROW); }},
    };
    auto desktop = std::make_unique<Desktop>();
    for (const Part& part : parts)
        part.change(*desktop);
    desktop.reset();
    program().reset();
    desktop = std::make_unique<Desktop>();
    for (const Part& part : parts)
        EXPECT_TRUE(part.asatstart(*desktop)) << part.name;
}

} // namespace
} // namespace kt

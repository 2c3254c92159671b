#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "analysis/randomsearch.h"
#include "analysis/screening.h"
#include "base/program.h"
#include "engine/enginestate.h"
#include "engine/filenames.h"
#include "image/filters.h"
#include "image/mapfile.h"
#include "platform/window.h"
#include "shell/filedialogs.h"
#include "shell/paramdialog.h"
#include "shell/shellstate.h"
#include "parts/programparts.h"

namespace kt {
namespace {

// Every layer's state goes back to its start-up value with the one reset; a
// part left out would carry one test's or one render's state into the next.
TEST(Program, OneResetPutsEveryLayersStateBack)
{
    struct Part {
        std::string name;
        std::function<void()> change;
        std::function<bool()> asatstart;
    };
    const Part parts[] = {
        {"engine",
         [] {
             engine.res = 1234;
             engine.hitcount = localarray<float>(4);
         },
         [] { return engine.res == 600 && !engine.hitcount; }},
        {"file names", [] { filenames.tgafile = "x.tga"; }, [] { return filenames.tgafile.empty(); }},
        {"filters", [] { filters.nadjust = 9; }, [] { return filters.nadjust == 5; }},
        {"histogram counts", [] { hist256[7] = 3; }, [] { return hist256[7] == 0; }},
        {"palette being read", [] { paltemp[5] = 9; }, [] { return paltemp[5] == 0; }},
        {"screening", [] { screening.FDLimit = 0.5; }, [] { return screening.FDLimit == 1.5; }},
        {"search", [] { search.count = 12; }, [] { return search.count == 0; }},
        {"parameter dialog", [] { paramsaves.savetype = 1; }, [] { return paramsaves.savetype == 0; }},
        {"file dialogs", [] { filedialogs.ofn.nFilterIndex = 3; }, [] { return filedialogs.ofn.nFilterIndex == 1; }},
        {"desktop", [] { shell.aboutflag = 1; }, [] { return shell.aboutflag == 0; }},
        {"window system", [] { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); },
         [] { return GetCursor() == LoadCursorA(nullptr, IDC_ARROW); }},
    };
    for (const Part& part : parts)
        part.change();
    program().reset();
    for (const Part& part : parts)
        EXPECT_TRUE(part.asatstart()) << part.name;
}

} // namespace
} // namespace kt

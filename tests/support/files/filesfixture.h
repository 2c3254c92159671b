#pragma once
// An engine state and file names of the test's own, as the file readers and
// writers are handed them, with no write failure left injected.
#include "engine/filenames.h"
#include "files/atomicfile.h"
#include "support/engine/enginefixture.h"

namespace kt::testing {

class FilesTest : public EngineTest {
protected:
    FilesTest() { AtomicFile::injectwritefailure(-1); }
    ~FilesTest() override { AtomicFile::injectwritefailure(-1); }

    FileNames filenames;
};

} // namespace kt::testing

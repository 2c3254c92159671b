#pragma once
// Runs the batch renderer in the test's process, from the program's start-up
// state, keeping what it printed.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/render/still/batchrender.h"
#include "files/atomicfile.h"
#include "support/engine/enginefixture.h"

namespace kt::testing {

// No injected failure outlives its test.
inline void clearrenderfailures()
{
    clearprocesswidestate();
    AtomicFile::injectwritefailure(-1);
}

class BatchRenderFixture : public ::testing::Test {
protected:
    void SetUp() override { clearrenderfailures(); }
    void TearDown() override { clearrenderfailures(); }

    int run(const std::vector<std::string>& args)
    {
        out.str("");
        err.str("");
        return runbatchrender(args, out, err, false);
    }

    // A run that must end with `status` and say `message`.
    struct Refusal {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    void expectrefused(const std::vector<std::string>& args, const Refusal& refusal)
    {
        EXPECT_EQ(run(args), refusal.status) << refusal.message;
        EXPECT_NE(err.str().find(refusal.message), std::string::npos) << err.str();
    }

    RenderContext ctx;
    std::ostringstream out;
    std::ostringstream err;
};

} // namespace kt::testing

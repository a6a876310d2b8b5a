// The command line's own answers, before any command runs.
#include <gtest/gtest.h>

#include <string>

#include "compressor/KestromVersion.h"
#include "tests/tools/ToolRun.h"
#include "tools/kestrom/CommandLine.h"

namespace kestrom::tool {
namespace {

TEST(KestromCommandLine, VersionPrintsTheReleaseVersionAndNothingElse) {
    const testing::ToolRun run = testing::RunKestrom({"--version"});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, std::string("kestrom ") + KestromVersion::kText + "\n");
    EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace kestrom::tool

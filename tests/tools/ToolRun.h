#pragma once

// Running the `kestrom` command line in-process, as the tool's tests do.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "tools/kestrom/CommandLine.h"

namespace kestrom::tool::testing {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs `kestrom args...` and collects its exit status and both streams.
inline ToolRun RunKestrom(std::vector<std::string> args) {
    args.insert(args.begin(), "kestrom");
    std::vector<const char*> argv;
    for (const auto& a : args) {
        argv.push_back(a.c_str());
    }
    std::ostringstream out, err;
    Console console{out, err, false};
    ToolRun result;
    result.status = RunCommandLine(static_cast<int>(argv.size()), argv.data(), console);
    result.out = out.str();
    result.err = err.str();
    return result;
}

// Exactly one line on stderr, prefixed with the tool's name, and nothing on stdout.
inline void ExpectOneErrorLine(const ToolRun& run) {
    EXPECT_EQ(run.err.rfind("kestrom: ", 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_FALSE(run.err.empty());
    if (!run.err.empty()) {
        EXPECT_EQ(run.err.back(), '\n');
    }
    EXPECT_EQ(run.out, "");
}

}  // namespace kestrom::tool::testing

// Tests that run the simulator, quillet-cli or the program. Locally a tool
// that is not built skips the test; on CI (CI set) it fails it, so that a
// missing build step cannot pass as green.
#pragma once

#include <gtest/gtest.h>
#include <QtGlobal>

#define QUILLET_TOOL_MISSING(why)                                 \
    do {                                                          \
        if (qEnvironmentVariableIsSet("CI")) GTEST_FAIL() << why; \
        GTEST_SKIP() << why;                                      \
    } while (0)

// The COM ports that scripts/test-windows maps to simulated instruments before it runs the Windows
// test programs under Wine. Each is named by an environment variable holding its port number; a
// test whose port is not there skips, saying what it needs.
#pragma once

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

namespace test_support {

// The port number in environment variable `name`, or 0 when it is not set.
inline int MappedComPort(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? 0 : std::atoi(value);
}

} // namespace test_support

// Skips the test unless environment variable `name` names a mapped port; binds its number to `var`.
#define K720_REQUIRE_COM_PORT(var, name)                                                           \
    const int var = test_support::MappedComPort(name);                                             \
    if (var == 0) {                                                                                \
        GTEST_SKIP() << name                                                                       \
                     << " is not set: run scripts/test-windows, which maps a simulated "           \
                        "instrument to a COM port";                                                \
    }

// The file operations on Windows: devices are refused without being read. Reading CON would
// wait for the keyboard.
#include <gtest/gtest.h>

#include <string>

#include "console/platform.hpp"

namespace {

TEST(WindowsFiles, DevicesAreRefusedWithoutBeingRead) {
    for (const char* device : {"CON", "NUL", "CONIN$"}) {
        SCOPED_TRACE(device);
        std::string text;
        std::string problem;
        EXPECT_FALSE(platform::readFile(device, 1000, text, problem));
        EXPECT_FALSE(problem.empty());
    }
}

}  // namespace

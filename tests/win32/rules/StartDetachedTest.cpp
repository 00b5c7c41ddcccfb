#include "rules/win32/ReadErrorBox.h"

#include <gtest/gtest.h>

namespace flicko {
namespace {

TEST(StartDetached, FailsForAProgramThatDoesNotExist) {
    EXPECT_FALSE(StartDetached("flicko-no-such-program-4711.exe arg"));
}

TEST(StartDetached, StartsAnExistingProgramWithoutWaiting) {
    EXPECT_TRUE(StartDetached("cmd.exe /c exit 0"));
}

}  // namespace
}  // namespace flicko

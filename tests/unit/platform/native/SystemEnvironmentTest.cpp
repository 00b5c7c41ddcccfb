// The running system's environment: Linux natively, the real kernel32 and
// advapi32 calls in the Windows build.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/Environment.h"
#include "base/NativePath.h"
#include "settings/PathMacros.h"

namespace flicko {
namespace {

void SetVariable(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

TEST(SystemEnvironmentTest, VariablesExpandWholeBeyondAPathsLength) {
    auto env = MakeSystemEnvironment();
    const std::string longValue(700, 'L');
    SetVariable("FLICKO_TEST_LONG", longValue);
    SetVariable("FLICKO_TEST_SHORT", "s");
    EXPECT_EQ(env->ExpandEnvironmentStrings("[%FLICKO_TEST_SHORT%]"), "[s]");
    EXPECT_EQ(env->ExpandEnvironmentStrings("%flicko_test_short%"), "s") << "names ignore case";
    EXPECT_EQ(env->ExpandEnvironmentStrings("a%FLICKO_TEST_LONG%b"), "a" + longValue + "b");
    EXPECT_EQ(env->ExpandEnvironmentStrings("%FLICKO_TEST_UNSET_42%|50%"), "%FLICKO_TEST_UNSET_42%|50%");
}

TEST(SystemEnvironmentTest, DirectoriesExistAndAppDirHoldsTheRunningProgram) {
    auto env = MakeSystemEnvironment();
    TPathMacros macros(*env);
    macros.FillDirs();
    const TDirs& dirs = macros.Dirs();
    for (const std::string* dir : {&dirs.WinDir, &dirs.SysDir, &dirs.WorkDir, &dirs.AppDir}) {
        ASSERT_FALSE(dir->empty());
        EXPECT_NE(dir->back(), '\\') << *dir;
        EXPECT_TRUE(std::filesystem::is_directory(NativePath(*dir + "\\"))) << *dir;
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(NativePath(dirs.AppPath))) << dirs.AppPath;
    EXPECT_EQ(dirs.AppPath.rfind(dirs.AppDir + "\\", 0), 0u) << dirs.AppPath;
    EXPECT_FALSE(dirs.UserName.empty());
    // The same folder, compared as a folder: as text the two sides may spell
    // an accented letter of the checkout folder in different encodings.
    EXPECT_TRUE(std::filesystem::equivalent(NativePath(dirs.WorkDir), std::filesystem::current_path()))
        << dirs.WorkDir;
    EXPECT_EQ(macros.ExpandPath("<AppDir>\\x.ini"), dirs.AppDir + "\\x.ini");

    const auto temp = env->TempDirectory();
    ASSERT_TRUE(temp.has_value());
    EXPECT_EQ(temp->back(), '\\');
    EXPECT_TRUE(std::filesystem::is_directory(NativePath(*temp)));
}

}  // namespace
}  // namespace flicko

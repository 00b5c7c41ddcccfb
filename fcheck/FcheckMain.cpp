// fcheck: checks a scroll-data file, or a settings chain, from the command
// line. All the logic lives in the checker's units; this only picks the mode
// and the system adapters (the build links the Win32 ones into fcheck.exe and
// the native ones into the native fcheck).
#include <iostream>
#include <string>
#include <string_view>

#include "fcheck/Fcheck.h"
#include "fcheck/IniCheck.h"
#include "platform/Environment.h"
#include "platform/ProfileFile.h"
#include "settings/PathMacros.h"

namespace {

int Usage() {
    std::cerr << "usage: fcheck FILE\n"
                 "       fcheck --ini FILE\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const auto env = flicko::MakeSystemEnvironment();
    if (argc == 3 && std::string_view(argv[1]) == "--ini") {
        const auto profiles = flicko::MakeSystemProfileFiles();
        return flicko::RunIniCheck(argv[2], std::cout, std::cerr, *env, *profiles);
    }
    if (argc != 2 || (argv[1][0] == '-' && argv[1][1] != '\0')) return Usage();
    // Include directives expand the same macros as the resident program.
    flicko::TPathMacros expander(*env);
    return flicko::CheckScrollDataFile(argv[1], expander, std::cout, std::cerr);
}

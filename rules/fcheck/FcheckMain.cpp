// fcheck: checks a scroll-data file, or a settings chain, from the command
// line. All the logic lives in the core; this only picks the mode.
#include <iostream>
#include <string>
#include <string_view>

#include "platform/Environment.h"
#include "rules/Fcheck.h"
#include "settings/IniCheck.h"
#include "settings/PathMacros.h"

namespace {

int Usage() {
    std::cerr << "usage: fcheck FILE\n"
                 "       fcheck --ini FILE\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == "--ini") {
        return flicko::RunIniCheck(argv[2], std::cout, std::cerr);
    }
    if (argc != 2 || (argv[1][0] == '-' && argv[1][1] != '\0')) return Usage();
    // Include directives expand the same macros as the resident program.
    auto env = flicko::MakeSystemEnvironment();
    flicko::TPathMacros expander(*env);
    return flicko::CheckScrollDataFile(argv[1], expander, std::cout, std::cerr);
}

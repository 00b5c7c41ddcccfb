// Paths in the settings are written the Windows way ("<appdir>\default\x.ini").
// Natively a backslash has to act as the separator before a file is opened.
#pragma once

#include <string>
#include <string_view>

namespace flicko {

inline std::string NativePath(std::string_view path) {
    std::string out(path);
#ifndef _WIN32
    for (char& c : out) {
        if (c == '\\') c = '/';
    }
#endif
    return out;
}

}  // namespace flicko

// Command lines the probe starts.
#pragma once

#include <string>

namespace flicko {

// The editor command for a file: every "%1" of editor becomes the file;
// without "%1" the file follows after one blank.
std::string EditCommandLine(const std::string& editor, const std::string& file);

}  // namespace flicko

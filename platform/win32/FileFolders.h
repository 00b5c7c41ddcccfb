// Making the folder a file is to be written into: the profile functions and
// an editor started on a new file both fail in a folder that is not there.
#pragma once

#include <string>

namespace flicko {

// Makes the folder of file, with every missing folder above it. True when
// the folder is there afterwards (also for a bare file name: the current
// folder).
bool MakeFolderForFile(const std::string& file);

}  // namespace flicko

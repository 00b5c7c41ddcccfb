// The program's file paths: defaults from settings/SettingValues, then the settings chain.
#pragma once

#include <string>

namespace flicko {

struct TFiles {
    std::string AppPath;    // full path of the running program file
    std::string Ini;        // settings file; after reading, the last file of the chain
    std::string ScrollDat;  // scroll-data file
    std::string HookLib;    // never read from the settings file
    std::string Utility;    // never read from the settings file
    std::string Editor;     // "%1" stands for the file
    std::string Debugger;   // "%1" file, "%2" line; empty means the editor
};

}  // namespace flicko

// The resident program's files and the settings it acts on, with the
// defaults that hold before any settings file is read.
#pragma once

#include <string>

#include "host/BasicEngine.h"

namespace flicko {

struct THostFiles {
    std::string AppDir;
    std::string Ini;
    std::string ScrollDat;
    std::string HookLib;
};

struct THostSettings {
    bool Enabled = false;
    bool WriteExitStatus = false;
    std::string Tooltip;
    TBasicEngineSettings Engine;
};

// <appdir>\default\flicko.ini, <appdir>\default\scroll.dat, <appdir>\claspm.dll.
THostFiles DefaultHostFiles();
// Reads [Files], [TaskbarIcon] and [Scroll] of the settings file; an absent
// key keeps the value it had.
void ReadHostSettings(THostFiles& files, THostSettings& settings);
// [Scroll] Enable written back as "True" or "False".
void WriteExitStatus(const THostFiles& files, bool enabled);

}  // namespace flicko

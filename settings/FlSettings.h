// The resident program's settings: the chain of settings files, the values it
// fills, re-reading on the ReadIni command and the one write at shut-down.
#pragma once

#include <string>

#include "platform/ProfileFile.h"
#include "base/FlError.h"
#include "settings/SettingValues.h"
#include "settings/FlIniFile.h"
#include "settings/Files.h"
#include "settings/PathMacros.h"

namespace flicko {

// The host's on/off switch (hook installed or not). On success it stores the
// new state into TSettingValues::Enabled.
class IEnabledSwitch {
public:
    virtual ~IEnabledSwitch() = default;
    virtual bool SetEnabled(bool value) = 0;
};

class TFlSettings {
public:
    TFlSettings(ProfileFiles& profiles, const IPathExpander& paths, IErrorReport& errors)
        : profiles_(profiles), paths_(paths), errors_(errors) {}

    TFiles& Files() { return files_; }
    const TFiles& Files() const { return files_; }
    TSettingValues& Values() { return values_; }
    const TSettingValues& Values() const { return values_; }
    // The item sections named by the last file read (for the checker).
    const std::string& LeftButtonSection() const { return leftSection_; }
    const std::string& RightButtonSection() const { return rightSection_; }

    // Reads the chain that starts at Files().Ini; afterwards Files().Ini
    // names its last file. Errors of path expansion end the read and reach
    // the caller.
    void ReadSettings();
    // The ReadIni command: the chain is read again from its last file with
    // scrolling off, and the on/off state from before is put back.
    bool ReloadSettings(IEnabledSwitch& enabled);
    // Writes [Scroll] Enable into Files().Ini when [Files] WriteExitStatus
    // asked for it, atomically: the file is whole before and after, also
    // when the program is ended meanwhile. False only when that write failed
    // (the file is then as it was).
    bool SaveExitStatus();

private:
    void ReadOneFile(TFlIniFile& file);

    ProfileFiles& profiles_;
    const IPathExpander& paths_;
    IErrorReport& errors_;
    TFiles files_;
    TSettingValues values_;
    std::string readList_;  // ";path;" for each file followed in this read
    std::string leftSection_ = "TaskbarIconLButton";
    std::string rightSection_ = "TaskbarIconRButton";
};

}  // namespace flicko

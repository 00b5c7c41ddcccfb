#include "settings/FlSettings.h"
#include "settings/ReadListScope.h"

#include <algorithm>

namespace flicko {

void TFlSettings::ReadOneFile(TFlIniFile& f) {
    // "Ini=" names no file: the chain ends here rather than going on to a
    // file without a name, which ReadIni, EditIni and the exit write would
    // then use.
    files_.Ini = f.ReadPath("Files", "Ini", f.FileName());
    if (files_.Ini.empty()) files_.Ini = f.FileName();
    files_.ScrollDat = f.ReadPath("Files", "ScrollDat", files_.ScrollDat);
    files_.Editor = f.ReadPath("Files", "Editor", files_.Editor);
    files_.Debugger = f.ReadPath("Files", "Debugger", files_.Debugger);
    values_.WriteExitStatus = f.ReadBoolStr("Files", "WriteExitStatus", values_.WriteExitStatus);

    TTaskbarIconItems& icon = values_.TaskbarIcon;
    icon.Tooltip = f.ReadPath("TaskbarIcon", "Tooltip", icon.Tooltip);
    leftSection_ = f.ReadString("TaskbarIcon", "LeftButton", "TaskbarIconLButton");
    if (TPopMnuList items = f.ReadMenuItems(leftSection_); !items.empty()) icon.LeftButton = std::move(items);
    rightSection_ = f.ReadString("TaskbarIcon", "RightButton", "TaskbarIconRButton");
    if (TPopMnuList items = f.ReadMenuItems(rightSection_); !items.empty()) icon.RightButton = std::move(items);

    values_.Enabled = f.ReadBoolStr("Scroll", "Enable", values_.Enabled);
    values_.InertiaMin = f.ReadScaledFloat("Scroll", "InertiaMin", values_.InertiaMin);
    const Millis time = f.ReadMSec("Scroll", "TTolerance", values_.Tolerance[0].Time);
    values_.Tolerance[0].Time = time;
    values_.Tolerance[1].Time = time;
    values_.Tolerance[0].Distance = f.ReadInteger("Scroll", "XTolerance", values_.Tolerance[0].Distance);
    values_.Tolerance[1].Distance = f.ReadInteger("Scroll", "YTolerance", values_.Tolerance[1].Distance);
    // Quietly, as every value here: out of range is brought to the range.
    values_.CheckMouseInterval = std::clamp(f.ReadMSec("Scroll", "CheckMouseInterval", values_.CheckMouseInterval),
                                            kMinTickInterval, kMaxTickInterval);
    values_.InertiaInterval = std::clamp(f.ReadMSec("Scroll", "InertiaInterval", values_.InertiaInterval),
                                         kMinTickInterval, kMaxTickInterval);
    values_.LeaveConfinedCursor = f.ReadBoolStr("Scroll", "LeaveConfinedCursor", values_.LeaveConfinedCursor);
    values_.PassKey = f.ReadString("Scroll", "PassKey", values_.PassKey);

    values_.Ja = f.ReadBoolStr("Etc", "Ja", values_.Ja);
}

void TFlSettings::ReadSettings() {
    ReadListScope scope(readList_);
    for (;;) {
        const std::string current = files_.Ini;
        TFlIniFile file(profiles_, paths_, current);
        ReadOneFile(file);
        if (!NextIniFile(current, files_.Ini, readList_, errors_)) break;
    }
    if (files_.Debugger.empty()) files_.Debugger = files_.Editor;
}

bool TFlSettings::ReloadSettings(IEnabledSwitch& enabled) {
    const bool remembered = values_.Enabled;
    if (!enabled.SetEnabled(false)) return false;
    ReadSettings();
    // The hook is off now, whatever [Scroll] Enable said: that key only
    // counts at start-up.
    values_.Enabled = false;
    return enabled.SetEnabled(remembered);
}

bool TFlSettings::SaveExitStatus() {
    if (!values_.WriteExitStatus) return true;
    // The user's own file may not exist yet, nor its folder (before the
    // first "Edit settings").
    profiles_.MakeFolderFor(files_.Ini);
    TFlIniFile file(profiles_, paths_, files_.Ini);
    return file.WriteBoolStrAtomically("Scroll", "Enable", values_.Enabled);
}

}  // namespace flicko

#include "settings/SettingValues.h"

namespace flicko {

bool IsJapaneseLocale(Environment& env) {
    const auto date = env.LongDateText();
    if (!date) return false;
    const std::string text = date->substr(0, 255);
    return text.find("\x93\xFA") != std::string::npos;
}

void SetDefaultSettings(TSettingValues& values, Environment& env) {
    values = TSettingValues{};
    values.Ja = IsJapaneseLocale(env);
}

void SetDefaultPaths(TFiles& files, const TPathMacros& paths) {
    files.AppPath = paths.AppPath();
    files.Editor = paths.ExpandPath("<WinDir>\\notepad.exe");
    files.Ini = paths.ExpandPath("<appdir>\\default\\flicko.ini");
    files.ScrollDat = paths.ExpandPath("<appdir>\\default\\scroll.dat");
    files.HookLib = paths.ExpandPath("<AppDir>\\claspm.dll");
    files.Utility = paths.ExpandPath("<AppDir>\\fprobe.exe");
    files.Debugger.clear();
}

}  // namespace flicko

#include "probe/core/FpIniReader.h"
#include "settings/ReadListScope.h"

#include <algorithm>

#include "base/Text.h"

namespace flicko {

bool TFpIniFile::WriteMSec(const std::string& section, const std::string& key, Millis ms) {
    return WriteString(section, key, FloatToText(static_cast<double>(ms) / 1000.0));
}

bool TFpIniFile::WriteInteger(const std::string& section, const std::string& key, std::int32_t value) {
    return WriteString(section, key, std::to_string(value));
}

void TFpSettings::SetDefaultPaths(const TPathMacros& macros) {
    files_.AppPath = macros.AppPath();
    files_.Editor = macros.ExpandPath("<WinDir>\\notepad.exe");
    files_.Ini = macros.ExpandPath("<appdir>\\default\\fprobe.ini");
    files_.ScrollDat = macros.ExpandPath("<appdir>\\default\\scroll.dat");
    files_.HookLib.clear();
    files_.Utility.clear();
    files_.Debugger.clear();
}

void TFpSettings::ReadProbeSettings() {
    ReadListScope scope(readList_);
    for (;;) {
        const std::string current = files_.Ini;
        TFpIniFile f(profiles_, paths_, current);
        // "Ini=" names no file: the chain ends here instead of going on to a
        // file without a name, which the write at close would then use.
        files_.Ini = f.ReadPath("Files", "Ini", current);
        if (files_.Ini.empty()) files_.Ini = current;
        files_.ScrollDat = f.ReadPath("Files", "ScrollDat", files_.ScrollDat);
        files_.Editor = f.ReadPath("Files", "Editor", files_.Editor);
        files_.Debugger = f.ReadPath("Files", "Debugger", files_.Debugger);
        const std::string flickoIni = f.ReadPath("Files", "FlickoIni", "");

        // Quietly brought into range, like every value here: a place or a
        // size edited to any 32-bit number must not overflow what is built
        // from it.
        TFpGeometry& g = geometry_;
        const auto place = [&](const char* key, std::int32_t current) {
            return std::clamp(f.ReadInteger("Forms", key, current), -kMaxFormCoordinate, kMaxFormCoordinate);
        };
        const auto size = [&](const char* key, std::int32_t current) {
            return std::clamp(f.ReadInteger("Forms", key, current), 0, kMaxFormCoordinate);
        };
        g.Left = place("Left", g.Left);
        g.Top = place("Top", g.Top);
        g.Width = size("Width", g.Width);
        g.Height = size("Height", g.Height);
        g.WindowsTreeWidth = size("WindowsTreeWidth", g.WindowsTreeWidth);
        g.ScrollDataHeight = size("ScrollDataHeight", g.ScrollDataHeight);

        TProbeChecks& c = checks_;
        c.Enable = f.ReadBoolStr("Checks", "Enable", c.Enable);
        c.LeftButton = f.ReadBoolStr("Checks", "LeftButton", c.LeftButton);
        c.RightButton = f.ReadBoolStr("Checks", "RightButton", c.RightButton);
        c.MiddleButton = f.ReadBoolStr("Checks", "MiddleButton", c.MiddleButton);
        c.WindowsTree = f.ReadBoolStr("Checks", "WindowsTree", c.WindowsTree);
        c.ScrollDateFile = f.ReadBoolStr("Checks", "ScrollDateFile", c.ScrollDateFile);
        c.Scroll = f.ReadBoolStr("Checks", "Scroll", c.Scroll);
        c.CheckInterval = f.ReadMSec("Checks", "CheckInterval", c.CheckInterval);

        if (!flickoIni.empty()) ReadFlickoFiles(flickoIni);
        if (!NextIniFile(current, files_.Ini, readList_, errors_)) break;
    }
    if (files_.Debugger.empty()) files_.Debugger = files_.Editor;
}

void TFpSettings::ReadFlickoFiles(std::string flickoIni) {
    // Each chain is checked against its own list: the resident program's
    // files may well be named again by the next probe file.
    ReadListScope scope(flickoReadList_);
    for (;;) {
        const std::string current = flickoIni;
        TFlIniFile g(profiles_, paths_, current);
        flickoIni = g.ReadPath("Files", "Ini", current);
        if (flickoIni.empty()) flickoIni = current;
        files_.ScrollDat = g.ReadPath("Files", "ScrollDat", files_.ScrollDat);
        files_.Editor = g.ReadPath("Files", "Editor", files_.Editor);
        files_.Debugger = g.ReadPath("Files", "Debugger", files_.Debugger);
        flickoLast_ = flickoIni;
        if (!NextIniFile(current, flickoIni, flickoReadList_, errors_)) break;
    }
}

bool TFpSettings::WriteProbeSettings() {
    // The user's own file, where the shipped one hands over, may not exist
    // yet, nor its folder.
    profiles_.MakeFolderFor(files_.Ini);
    TFpIniFile f(profiles_, paths_, files_.Ini);
    const TFpGeometry& g = geometry_;
    bool ok = f.WriteInteger("Forms", "Left", g.Left);
    ok = f.WriteInteger("Forms", "Top", g.Top) && ok;
    ok = f.WriteInteger("Forms", "Width", g.Width) && ok;
    ok = f.WriteInteger("Forms", "Height", g.Height) && ok;
    ok = f.WriteInteger("Forms", "WindowsTreeWidth", g.WindowsTreeWidth) && ok;
    ok = f.WriteInteger("Forms", "ScrollDataHeight", g.ScrollDataHeight) && ok;
    const TProbeChecks& c = checks_;
    ok = f.WriteBoolStr("Checks", "Enable", c.Enable) && ok;
    ok = f.WriteBoolStr("Checks", "LeftButton", c.LeftButton) && ok;
    ok = f.WriteBoolStr("Checks", "RightButton", c.RightButton) && ok;
    ok = f.WriteBoolStr("Checks", "MiddleButton", c.MiddleButton) && ok;
    ok = f.WriteBoolStr("Checks", "WindowsTree", c.WindowsTree) && ok;
    ok = f.WriteBoolStr("Checks", "ScrollDateFile", c.ScrollDateFile) && ok;
    ok = f.WriteBoolStr("Checks", "Scroll", c.Scroll) && ok;
    ok = f.WriteMSec("Checks", "CheckInterval", c.CheckInterval) && ok;
    return ok;
}

}  // namespace flicko

#include "host/HostSettings.h"

#include <cmath>
#include <cstdlib>

#include "platform/win32/WindowsInclude.h"

namespace flicko {

namespace {

std::string ReadString(const std::string& file, const char* section, const char* key, const std::string& def) {
    char buffer[2048];
    ::GetPrivateProfileStringA(section, key, def.c_str(), buffer, sizeof buffer, file.c_str());
    return buffer;
}

bool StrToBool(const std::string& s) {
    if (s.empty()) return false;
    const char c = s[0];
    return (c >= '1' && c <= '9') || c == 'T' || c == 't' || c == 'Y' || c == 'y';
}

bool ReadBool(const std::string& file, const char* section, const char* key, bool def) {
    return StrToBool(ReadString(file, section, key, def ? "True" : "False"));
}

// Durations are written as decimal seconds and held as milliseconds.
Millis ReadMSec(const std::string& file, const char* section, const char* key, Millis def) {
    const std::string text = ReadString(file, section, key, "");
    if (text.empty()) return def;
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || seconds < 0) return def;
    return static_cast<Millis>(std::nearbyint(seconds * 1000.0));
}

std::string ReplaceAppDir(std::string text, const std::string& appDir) {
    static constexpr std::string_view kMacro = "<appdir>";
    for (std::size_t i = 0; i + kMacro.size() <= text.size(); ++i) {
        if (_strnicmp(text.c_str() + i, kMacro.data(), kMacro.size()) == 0) {
            text.replace(i, kMacro.size(), appDir);
            i += appDir.size() - 1;
        }
    }
    return text;
}

}  // namespace

THostFiles DefaultHostFiles() {
    char path[MAX_PATH + 2] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string appDir = path;
    const auto cut = appDir.find_last_of("\\:");
    if (cut != std::string::npos) appDir.resize(cut);
    THostFiles f;
    f.AppDir = appDir;
    f.Ini = appDir + "\\default\\flicko.ini";
    f.ScrollDat = appDir + "\\default\\scroll.dat";
    f.HookLib = appDir + "\\claspm.dll";
    return f;
}

void ReadHostSettings(THostFiles& files, THostSettings& s) {
    const std::string ini = files.Ini;
    files.ScrollDat = ReplaceAppDir(ReadString(ini, "Files", "ScrollDat", files.ScrollDat), files.AppDir);
    s.WriteExitStatus = ReadBool(ini, "Files", "WriteExitStatus", s.WriteExitStatus);
    s.Tooltip = ReplaceAppDir(ReadString(ini, "TaskbarIcon", "Tooltip", s.Tooltip), files.AppDir);
    s.Enabled = ReadBool(ini, "Scroll", "Enable", s.Enabled);
    s.Engine.CheckMouseInterval = ReadMSec(ini, "Scroll", "CheckMouseInterval", s.Engine.CheckMouseInterval);
    s.Engine.InertiaInterval = ReadMSec(ini, "Scroll", "InertiaInterval", s.Engine.InertiaInterval);
    s.Engine.TTolerance = ReadMSec(ini, "Scroll", "TTolerance", s.Engine.TTolerance);
    const std::string min = ReadString(ini, "Scroll", "InertiaMin", "");
    if (!min.empty()) {
        char* end = nullptr;
        const double perSecond = std::strtod(min.c_str(), &end);
        if (end != min.c_str()) s.Engine.InertiaMin = static_cast<float>(perSecond * 0.001);
    }
}

void WriteExitStatus(const THostFiles& files, bool enabled) {
    ::WritePrivateProfileStringA("Scroll", "Enable", enabled ? "True" : "False", files.Ini.c_str());
}

}  // namespace flicko

#include "settings/PathMacros.h"

#include <array>
#include <optional>
#include <stdexcept>
#include <vector>

#include "base/Text.h"

namespace flicko {

namespace {

// trail[i] is true when byte i is the second byte of a double-byte character.
std::vector<bool> TrailBytes(std::string_view s, Environment& env) {
    std::vector<bool> trail(s.size(), false);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (env.IsDbcsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) {
            trail[i + 1] = true;
            ++i;
        }
    }
    return trail;
}

std::size_t FindNoCase(const std::string& text, std::string_view what, std::size_t from) {
    if (what.size() > text.size()) return std::string::npos;
    for (std::size_t i = from; i + what.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < what.size() && AsciiLower(text[i + k]) == what[k]) ++k;
        if (k == what.size()) return i;
    }
    return std::string::npos;
}

// Replaces every occurrence; the inserted text is not searched again.
void ReplaceAllNoCase(std::string& text, std::string_view macro, const std::string& by) {
    std::size_t pos = FindNoCase(text, macro, 0);
    while (pos != std::string::npos) {
        text.replace(pos, macro.size(), by);
        pos = FindNoCase(text, macro, pos + by.size());
    }
}

}  // namespace

std::string ExtractFileDir(std::string_view path, Environment& env) {
    const auto trail = TrailBytes(path, env);
    auto isDelimiter = [&](std::size_t i) { return !trail[i] && (path[i] == '\\' || path[i] == ':'); };
    std::size_t cut = std::string_view::npos;
    for (std::size_t i = path.size(); i-- > 0;) {
        if (isDelimiter(i)) {
            cut = i;
            break;
        }
    }
    if (cut == std::string_view::npos) return {};
    std::size_t keep = cut + 1;
    if (cut > 0 && path[cut] == '\\' && !isDelimiter(cut - 1)) keep = cut;
    return std::string(path.substr(0, keep));
}

std::string ExcludeTrailingBackslash(std::string_view path, Environment& env) {
    if (!path.empty() && path.back() == '\\' && !TrailBytes(path, env).back()) path.remove_suffix(1);
    return std::string(path);
}

// A folder the system must know; its query failing is an error with the
// given message, and a trailing backslash is dropped.
static std::string RequiredDir(const std::optional<std::string>& dir, const char* failure, Environment& env) {
    if (!dir || dir->empty()) throw std::runtime_error(failure);
    return ExcludeTrailingBackslash(*dir, env);
}

std::string TPathMacros::WinDir() const {
    return RequiredDir(env_.WindowsDirectory(), "WinDir - Can't get Windows diractory.", env_);
}

std::string TPathMacros::SysDir() const {
    return RequiredDir(env_.SystemDirectory(), "SysDir - Can't get system diractory.", env_);
}

std::string TPathMacros::WorkDir() const {
    return RequiredDir(env_.CurrentDirectory(), "WorkDir - Can't get current diractory.", env_);
}

std::string TPathMacros::AppPath() const {
    const auto path = env_.ModuleFileName();
    if (!path || path->empty()) throw std::runtime_error("AppPath - Can't get application path.");
    return *path;
}

std::string TPathMacros::AppDir() const { return ExcludeTrailingBackslash(ExtractFileDir(AppPath(), env_), env_); }

std::string TPathMacros::UserName() const {
    const auto name = env_.UserName();
    if (!name) throw std::runtime_error("UserName - Can't get user name.");
    return *name;
}

void TPathMacros::FillDirs() const {
    TDirs dirs;
    dirs.WorkDir = WorkDir();
    dirs.AppDir = AppDir();
    dirs.AppPath = AppPath();
    dirs.WinDir = WinDir();
    dirs.SysDir = SysDir();
    dirs.UserName = UserName();
    dirs_ = std::move(dirs);
    filled_ = true;
}

namespace {

// Stands in for %APPDATA% while the other variables are expanded: no path
// and no variable holds these bytes. Lower case, as the search wants it.
constexpr char kAppDataMark[] = "\x01" "appdata" "\x01";

// A folder that does not depend on the current one: "X:..." or a root.
bool IsRooted(const std::string& path) {
    return !path.empty() && (path[0] == '\\' || path[0] == '/' || (path.size() > 1 && path[1] == ':'));
}

}  // namespace

std::string TPathMacros::UserAppData() const {
    // Read afresh, like the variables around it.
    if (std::string value = env_.ExpandEnvironmentStrings("%APPDATA%"); IsRooted(value)) return value;
    const auto known = env_.UserAppDataDirectory();
    if (!known || !IsRooted(*known)) throw std::runtime_error("AppData - Can't get the application data directory.");
    return ExcludeTrailingBackslash(*known, env_);
}

std::string TPathMacros::ExpandPath(std::string_view path) const {
    if (!filled_) FillDirs();
    // %APPDATA% names the user's own files. Unset (a service, a start with a
    // stripped environment) or not a full path, it would leave a relative
    // path that reading, the editor and the exit write each resolve against
    // another folder; the system's known folder stands in for it then.
    std::string source(path);
    const bool appData = FindNoCase(source, "%appdata%", 0) != std::string::npos;
    std::string appDataDir;
    if (appData) {
        appDataDir = UserAppData();
        ReplaceAllNoCase(source, "%appdata%", kAppDataMark);
    }
    std::string text = env_.ExpandEnvironmentStrings(source);
    if (appData) ReplaceAllNoCase(text, kAppDataMark, appDataDir);
    ReplaceAllNoCase(text, "<workdir>", dirs_.WorkDir);
    ReplaceAllNoCase(text, "<appdir>", dirs_.AppDir);
    ReplaceAllNoCase(text, "<windir>", dirs_.WinDir);
    ReplaceAllNoCase(text, "<sysdir>", dirs_.SysDir);
    ReplaceAllNoCase(text, "<username>", dirs_.UserName);
    if (FindNoCase(text, "<apppath>", 0) != std::string::npos) ReplaceAllNoCase(text, "<apppath>", AppPath());
    return text;
}

}  // namespace flicko

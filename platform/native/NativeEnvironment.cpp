#include "platform/native/NativeEnvironment.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "base/Text.h"

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
extern char** environ;
#endif

namespace flicko {

std::string WindowsStylePath(std::string_view nativePath) {
    std::string out(nativePath);
    for (char& c : out) {
        if (c == '/') c = '\\';
    }
    return out;
}

#ifndef _WIN32

namespace {

// Windows variable names ignore case; Linux ones do not, so an exact match
// wins and any other spelling is the fallback.
std::optional<std::string> LookUpVariable(std::string_view name) {
    const std::string exact(name);
    if (const char* v = std::getenv(exact.c_str())) return std::string(v);
    for (char** e = environ; e && *e; ++e) {
        const std::string_view entry(*e);
        const auto eq = entry.find('=');
        if (eq != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < eq && same; ++i) same = AsciiLower(entry[i]) == AsciiLower(name[i]);
        if (same) return std::string(entry.substr(eq + 1));
    }
    return std::nullopt;
}

}  // namespace

std::string NativeEnvironment::ExpandEnvironmentStrings(std::string_view text) {
    return ExpandPercentVariables(text, LookUpVariable);
}

std::optional<std::string> NativeEnvironment::ModuleFileName() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::nullopt;
    return WindowsStylePath(exe.string());
}

std::optional<std::string> NativeEnvironment::WindowsDirectory() {
    if (const char* w = std::getenv("WINDIR"); w && *w) return WindowsStylePath(w);
    return WindowsStylePath("/usr");
}

std::optional<std::string> NativeEnvironment::SystemDirectory() {
    const auto win = WindowsDirectory();
    if (!win) return std::nullopt;
    return *win + "\\bin";
}

std::optional<std::string> NativeEnvironment::CurrentDirectory() {
    std::error_code ec;
    const auto cwd = std::filesystem::current_path(ec);
    if (ec) return std::nullopt;
    return WindowsStylePath(cwd.string());
}

std::optional<std::string> NativeEnvironment::TempDirectory() {
    std::error_code ec;
    const auto tmp = std::filesystem::temp_directory_path(ec);
    if (ec) return std::nullopt;
    std::string out = WindowsStylePath(tmp.string());
    if (out.empty() || out.back() != '\\') out += '\\';
    return out;
}

std::optional<std::string> NativeEnvironment::UserName() {
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name) return std::string(pw->pw_name);
    if (const char* u = std::getenv("USER"); u && *u) return std::string(u);
    return std::nullopt;
}

std::optional<std::string> NativeEnvironment::UserAppDataDirectory() {
    if (const char* c = std::getenv("XDG_CONFIG_HOME"); c && *c == '/') return WindowsStylePath(c);
    if (const char* h = std::getenv("HOME"); h && *h == '/') return WindowsStylePath(std::string(h) + "/.config");
    return std::nullopt;
}

std::optional<std::string> NativeEnvironment::LongDateText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local)) return std::nullopt;
    char buffer[256];
    const std::size_t n = std::strftime(buffer, sizeof buffer, "%A, %d %B %Y", &local);
    if (n == 0) return std::nullopt;
    return std::string(buffer, n);
}

std::unique_ptr<Environment> MakeSystemEnvironment() { return std::make_unique<NativeEnvironment>(); }

#endif  // !_WIN32

}  // namespace flicko

#include "platform/EnvironmentNative.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
extern char** environ;
#endif

namespace flicko {

std::string ExpandPercentVariables(std::string_view text,
                                   const std::function<std::optional<std::string>(std::string_view)>& lookup) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] != '%') {
            const auto next = text.find('%', pos);
            const auto end = next == std::string_view::npos ? text.size() : next;
            out.append(text.substr(pos, end - pos));
            pos = end;
            continue;
        }
        const auto close = text.find('%', pos + 1);
        if (close == std::string_view::npos) {  // an unfinished name is copied as it stands
            out.append(text.substr(pos));
            break;
        }
        const std::string_view name = text.substr(pos + 1, close - pos - 1);
        const auto value = name.empty() ? std::nullopt : lookup(name);
        if (value) {
            out += *value;
        } else {
            out.append(text.substr(pos, close - pos + 1));
        }
        pos = close + 1;
    }
    return out;
}

std::string WindowsStylePath(std::string_view nativePath) {
    std::string out(nativePath);
    for (char& c : out) {
        if (c == '/') c = '\\';
    }
    return out;
}

#ifndef _WIN32

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

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

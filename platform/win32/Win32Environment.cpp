// The environment seam on kernel32, advapi32 and shell32. Each query grows its buffer
// when the system reports that the answer did not fit, so long paths and
// long expansions come back whole instead of cut or undefined.
#include "platform/win32/WindowsInclude.h"

#include <shlobj.h>

// The seam method shares its name with the A/W macro.
#undef ExpandEnvironmentStrings

#include <vector>

#include "platform/Environment.h"

namespace flicko {

namespace {

// For the directory functions: they return the length without the zero when
// the text fitted, else the size they need with it.
template <typename Query>
std::optional<std::string> DirectoryQuery(Query query) {
    std::vector<char> buffer(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD n = query(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::nullopt;
        if (n < buffer.size()) return std::string(buffer.data(), n);
        buffer.assign(static_cast<std::size_t>(n) + 1, '\0');
    }
    return std::nullopt;
}

class Win32Environment : public Environment {
public:
    std::string ExpandEnvironmentStrings(std::string_view text) override {
        const std::string source(text);
        std::vector<char> buffer(MAX_PATH, '\0');
        for (int attempt = 0; attempt < 4; ++attempt) {
            const DWORD n = ExpandEnvironmentStringsA(source.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
            if (n == 0) return source;  // nothing expanded beats undefined text
            if (n <= buffer.size()) return std::string(buffer.data());
            buffer.assign(n, '\0');
        }
        return source;
    }

    std::optional<std::string> ModuleFileName() override {
        std::vector<char> buffer(262, '\0');
        for (;;) {
            const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
            if (n == 0) return std::nullopt;
            if (n < buffer.size()) return std::string(buffer.data(), n);
            if (buffer.size() >= 32768) return std::nullopt;
            buffer.assign(buffer.size() * 2, '\0');
        }
    }

    std::optional<std::string> WindowsDirectory() override {
        return DirectoryQuery([](char* b, DWORD n) { return GetWindowsDirectoryA(b, n); });
    }
    std::optional<std::string> SystemDirectory() override {
        return DirectoryQuery([](char* b, DWORD n) { return GetSystemDirectoryA(b, n); });
    }
    std::optional<std::string> CurrentDirectory() override {
        return DirectoryQuery([](char* b, DWORD n) { return GetCurrentDirectoryA(n, b); });
    }
    std::optional<std::string> TempDirectory() override {
        return DirectoryQuery([](char* b, DWORD n) { return GetTempPathA(n, b); });
    }

    std::optional<std::string> UserAppDataDirectory() override {
        // Not created when missing: the write that needs it makes it.
        char path[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_DONT_VERIFY, nullptr, SHGFP_TYPE_CURRENT,
                                    path))) {
            return std::nullopt;
        }
        return std::string(path);
    }

    std::optional<std::string> UserName() override {
        DWORD size = 257;
        std::vector<char> buffer(size, '\0');
        if (GetUserNameA(buffer.data(), &size)) return std::string(buffer.data());
        buffer.assign(static_cast<std::size_t>(size) + 1, '\0');
        size = static_cast<DWORD>(buffer.size());
        if (GetUserNameA(buffer.data(), &size)) return std::string(buffer.data());
        return std::nullopt;
    }

    bool IsDbcsLeadByte(unsigned char byte) override { return IsDBCSLeadByte(byte) != FALSE; }

    std::optional<std::string> LongDateText() override {
        char buffer[256] = {};
        const int n = GetDateFormatA(GetThreadLocale(), DATE_LONGDATE, nullptr, nullptr, buffer, 255);
        if (n == 0) return std::nullopt;
        return std::string(buffer);
    }
};

}  // namespace

std::unique_ptr<Environment> MakeSystemEnvironment() { return std::make_unique<Win32Environment>(); }

}  // namespace flicko

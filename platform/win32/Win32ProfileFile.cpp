// The profile-file seam on the system's own GetPrivateProfileStringA and
// WritePrivateProfileStringA.
#include "platform/win32/WindowsInclude.h"

#include <algorithm>
#include <vector>

#include "platform/ProfileFile.h"

namespace flicko {

namespace {

class Win32ProfileFiles : public ProfileFiles {
public:
    std::string GetString(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& def, std::size_t bufferSize) override {
        if (bufferSize == 0) return {};
        std::vector<char> buffer(bufferSize, '\0');
        const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                                 static_cast<DWORD>(buffer.size()), file.c_str());
        return std::string(buffer.data(), std::min<std::size_t>(n, buffer.size() - 1));
    }

    std::vector<std::string> GetKeys(const std::string& file, const std::string& section,
                                     std::size_t bufferSize) override {
        std::vector<std::string> keys;
        if (bufferSize < 2) return keys;
        // Each name ends with a zero and the list with a second one; the
        // buffer gets two extra zeros so a cut-off list still ends.
        std::vector<char> buffer(bufferSize + 2, '\0');
        GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(), static_cast<DWORD>(bufferSize),
                                 file.c_str());
        for (const char* p = buffer.data(); *p != '\0' && p < buffer.data() + bufferSize;) {
            keys.emplace_back(p);
            p += keys.back().size() + 1;
        }
        return keys;
    }

    bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override {
        return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
    }
};

}  // namespace

std::unique_ptr<ProfileFiles> MakeSystemProfileFiles() { return std::make_unique<Win32ProfileFiles>(); }

}  // namespace flicko

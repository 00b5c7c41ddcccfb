// The profile-file seam on the system's own GetPrivateProfileStringA and
// WritePrivateProfileStringA.
#include "platform/win32/WindowsInclude.h"

#include <algorithm>
#include <vector>

#include "platform/ProfileFile.h"
#include "platform/win32/FileFolders.h"

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

    bool WriteStringAtomically(const std::string& file, const std::string& section, const std::string& key,
                               const std::string& value) override {
        // The profile function edits the file in place; it edits a copy
        // here, made in the same folder so that the copy can replace the
        // file in one rename.
        std::string folder = file;
        const std::size_t slash = folder.find_last_of("\\/");
        folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash + 1);
        char temp[MAX_PATH + 1] = {};
        // Creates the copy, empty, under a name no one else uses.
        if (GetTempFileNameA(folder.c_str(), "fli", 0, temp) == 0) return false;
        const bool exists = GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES;
        // A file that is there but cannot be read (an editor holding it)
        // must not be replaced by a copy that holds only this key.
        bool ok = !exists || CopyFileA(file.c_str(), temp, FALSE) != FALSE;
        ok = ok && WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), temp) != FALSE;
        // Flushes the system's cached copy of the profile file.
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, temp);
        ok = ok && MoveFileExA(temp, file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
        if (!ok) DeleteFileA(temp);
        return ok;
    }

    bool MakeFolderFor(const std::string& file) override { return MakeFolderForFile(file); }
};

}  // namespace

std::unique_ptr<ProfileFiles> MakeSystemProfileFiles() { return std::make_unique<Win32ProfileFiles>(); }

}  // namespace flicko

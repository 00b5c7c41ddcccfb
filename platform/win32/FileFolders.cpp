#include "platform/win32/WindowsInclude.h"

#include "platform/win32/FileFolders.h"

#include <shlobj.h>

namespace flicko {

bool MakeFolderForFile(const std::string& file) {
    // The last separator, stepping by characters: in a double-byte code page
    // a trail byte can have the value of a backslash.
    const char* last = nullptr;
    for (const char* p = file.c_str(); *p != '\0'; p = ::CharNextA(p)) {
        if (*p == '\\' || *p == '/') last = p;
    }
    if (last == nullptr) return true;  // the current folder
    const std::string folder(file.c_str(), last);
    const DWORD attributes = ::GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // Makes every missing level; wants a full path.
    const int result = ::SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS;
}

}  // namespace flicko

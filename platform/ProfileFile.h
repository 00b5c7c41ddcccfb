// Profile files: the "[Section]" / "Key=Value" text files of the settings.
//
// The Win32 adapter forwards to GetPrivateProfileStringA and
// WritePrivateProfileStringA; the native implementation
// (platform/native/NativeProfileFiles.h) reads and writes the same files the
// way those functions do, so the settings logic and its tests run unchanged
// on both.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace flicko {

class ProfileFiles {
public:
    // The buffer sizes the settings reader passes: one value, one key list.
    static constexpr std::size_t kValueBuffer = 2048;
    static constexpr std::size_t kKeyListBuffer = 16384;

    virtual ~ProfileFiles() = default;

    // [section] key of file, or def when the file, the section or the key is
    // missing. At most bufferSize - 1 characters come back.
    virtual std::string GetString(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& def,
                                  std::size_t bufferSize = kValueBuffer) = 0;
    // The key names of [section] in file order, as far as they fit into a
    // buffer of bufferSize characters; empty for a missing file or section.
    virtual std::vector<std::string> GetKeys(const std::string& file, const std::string& section,
                                             std::size_t bufferSize = kKeyListBuffer) = 0;
    // Creates the file, the section or the key as needed, or replaces the
    // value of the first line of the key. False when the file cannot be
    // written, or exists but cannot be read (it is then left as it was).
    virtual bool WriteString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
    // WriteString done on a copy beside the file, which then replaces it in
    // one step: whatever happens meanwhile (the program ends, the disk is
    // full, an editor holds the file), the file is either as it was or as
    // written, never half written or empty. False leaves the file as it was.
    virtual bool WriteStringAtomically(const std::string& file, const std::string& section,
                                       const std::string& key, const std::string& value) = 0;
    // Makes the folder of file with every missing folder above it, as the
    // writes above want it (like the system's functions, they make the
    // file but not its folder). Quiet: true when the folder is there.
    virtual bool MakeFolderFor(const std::string& file) = 0;
};

// The platform's own profile functions, from the adapter library the program
// links (platform/win32 or platform/native), like MakeSystemEnvironment.
std::unique_ptr<ProfileFiles> MakeSystemProfileFiles();

}  // namespace flicko

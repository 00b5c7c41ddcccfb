#include "platform/win32/Win32StartupShortcut.h"

#include "platform/win32/ScopedHandle.h"
#include "platform/win32/WindowsInclude.h"

#include <objidl.h>
#include <shlobj.h>

#include <utility>
#include <vector>

namespace flicko {

namespace {

template <class I>
using ComRef = ScopedHandle<ComTraits<I>>;

// COM for the calling thread while in scope; a thread that has COM already
// (in any apartment) is left as it is.
class ComScope {
public:
    ComScope() : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool Usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT hr_;
};

std::string RunningProgram() {
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) return std::string(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

std::string FolderOf(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) return {};
    // A program in a drive's root keeps "X:\" as its folder.
    if (cut > 0 && path[cut - 1] == ':') return path.substr(0, cut + 1);
    return path.substr(0, cut);
}

}  // namespace

Win32StartupShortcut::Win32StartupShortcut() : program_(RunningProgram()), file_(DefaultFile()) {}

Win32StartupShortcut::Win32StartupShortcut(std::string program, std::string file)
    : program_(std::move(program)), file_(std::move(file)) {}

std::string Win32StartupShortcut::DefaultFile() {
    char folder[MAX_PATH];
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
    return std::string(folder) + "\\Flicko.lnk";
}

bool Win32StartupShortcut::IsOn() const {
    if (file_.empty()) return false;
    const DWORD attributes = ::GetFileAttributesA(file_.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32StartupShortcut::SetOn(bool on) {
    if (file_.empty() || program_.empty()) return false;
    if (!on) return ::DeleteFileA(file_.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
    return Create();
}

bool Win32StartupShortcut::Create() {
    ComScope com;
    if (!com.Usable()) return false;
    IShellLinkA* rawLink = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&rawLink)))) {
        return false;
    }
    const ComRef<IShellLinkA> link(rawLink);
    if (FAILED(link.get()->SetPath(program_.c_str())) ||
        FAILED(link.get()->SetWorkingDirectory(FolderOf(program_).c_str())) ||
        FAILED(link.get()->SetDescription("Flicko"))) {
        return false;
    }
    IPersistFile* rawPersist = nullptr;
    if (FAILED(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawPersist)))) return false;
    const ComRef<IPersistFile> persist(rawPersist);
    const int n = ::MultiByteToWideChar(CP_ACP, 0, file_.c_str(), -1, nullptr, 0);
    if (n <= 0) return false;
    std::vector<wchar_t> wide(static_cast<std::size_t>(n));
    ::MultiByteToWideChar(CP_ACP, 0, file_.c_str(), -1, wide.data(), n);
    return SUCCEEDED(persist.get()->Save(wide.data(), TRUE));
}

}  // namespace flicko

#include "hook/loader/FHFileMapFl.h"

#include "platform/win32/WindowsInclude.h"
#include "rules/FlError.h"

namespace flicko {

std::uint32_t TFileMapping::CreateFmo() {
    HANDLE h = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kFmoSize, kFmoName);
    lastError_ = ::GetLastError();
    if (h == nullptr) throw EFileMappingError("Cant create file-mapping object.");
    mapping_ = h;
    return lastError_;
}

TFmoData* TFileMapping::MapFmo() {
    if (!mapping_) return nullptr;
    void* v = ::MapViewOfFile(static_cast<HANDLE>(mapping_), FILE_MAP_WRITE, 0, 0, 0);
    if (!v) {
        ::MessageBoxA(nullptr, "Can't map view of file", nullptr, MB_ICONWARNING);
        return nullptr;
    }
    view_ = static_cast<TFmoData*>(v);
    return view_;
}

void TFileMapping::CloseFmo() {
    const DWORD saved = ::GetLastError();
    if (view_) {
        ::UnmapViewOfFile(view_);
        view_ = nullptr;
    }
    if (mapping_) {
        ::CloseHandle(static_cast<HANDLE>(mapping_));
        mapping_ = nullptr;
    }
    ::SetLastError(saved);
}

}  // namespace flicko

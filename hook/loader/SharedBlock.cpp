#include "platform/win32/WindowsInclude.h"

#include "hook/loader/SharedBlock.h"

#include "base/FlError.h"

namespace flicko {

std::uint32_t TFileMapping::CreateFmo() {
    HANDLE h = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kFmoSize, kFmoName);
    lastError_ = ::GetLastError();
    if (h == nullptr) throw EFileMappingError("Cant create file-mapping object.");
    view_.reset();
    mapping_.reset(h);
    return lastError_;
}

TFmoData* TFileMapping::MapFmo() {
    if (!mapping_) return nullptr;
    void* v = ::MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, 0);
    if (!v) {
        ::MessageBoxA(nullptr, "Can't map view of file", nullptr, MB_ICONWARNING);
        return nullptr;
    }
    view_.reset(static_cast<TFmoData*>(v));
    return view_.get();
}

void TFileMapping::CloseFmo() {
    view_.reset();
    mapping_.reset();
}

}  // namespace flicko

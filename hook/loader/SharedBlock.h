// The resident side of the shared block: create it, map it for the whole
// run, release it at shut-down.
#pragma once

#include <cstdint>

#include "hook/FmoData.h"
#include "platform/win32/ScopedHandle.h"

namespace flicko {

// Owns the mapping and its view; either may be missing. Destruction and
// CloseFmo release both, the view first.
class TFileMapping {
public:
    // CreateFileMappingA on the paging file, 12 bytes, named "FlickoFmo".
    // Returns the last-error value read right after the call. Throws
    // EFileMappingError "Cant create file-mapping object." on failure.
    std::uint32_t CreateFmo();
    // Maps the whole block for writing; shows "Can't map view of file" and
    // returns null when that fails.
    TFmoData* MapFmo();
    // Unmaps the view, then closes the mapping (each at most once).
    void CloseFmo();

    TFmoData* Data() const { return view_.get(); }
    bool AlreadyExisted() const { return lastError_ == kErrorAlreadyExists; }

    static constexpr std::uint32_t kErrorAlreadyExists = 183;

private:
    ScopedHandle<KernelHandleTraits> mapping_;
    // After the mapping: members end in reverse order, so the view goes first.
    ScopedHandle<MappedViewTraits<TFmoData>> view_;
    std::uint32_t lastError_ = 0;
};

}  // namespace flicko

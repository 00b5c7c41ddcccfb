// The resident side of the shared block: create it, map it for the whole
// run, release it at shut-down.
#pragma once

#include <cstdint>

#include "hook/FmoData.h"

namespace flicko {

class TFileMapping {
public:
    TFileMapping() = default;
    TFileMapping(const TFileMapping&) = delete;
    TFileMapping& operator=(const TFileMapping&) = delete;
    ~TFileMapping() { CloseFmo(); }

    // CreateFileMappingA on the paging file, 12 bytes, named "FlickoFmo".
    // Returns the last-error value read right after the call. Throws
    // EFileMappingError "Cant create file-mapping object." on failure.
    std::uint32_t CreateFmo();
    // Maps the whole block for writing; shows "Can't map view of file" and
    // returns null when that fails.
    TFmoData* MapFmo();
    // Unmaps the view, then closes the mapping (each at most once).
    void CloseFmo();

    TFmoData* Data() const { return view_; }
    bool AlreadyExisted() const { return lastError_ == kErrorAlreadyExists; }

    static constexpr std::uint32_t kErrorAlreadyExists = 183;

private:
    void* mapping_ = nullptr;
    TFmoData* view_ = nullptr;
    std::uint32_t lastError_ = 0;
};

}  // namespace flicko

// The resident program's instance marker: a named mutex that only residents
// create and that lives exactly as long as its creator holds its handle.
// The shared block is no marker: a process may keep a view of a block whose
// resident has ended, and the block's name must be free for the next one.
#pragma once

#include <cstdint>

#include "hook/FmoData.h"
#include "platform/win32/ScopedHandle.h"

namespace flicko {

class TInstanceMarker {
public:
    // Creates or opens the marker; true when this process is the first
    // holder (no other resident runs). A marker that cannot be made at all
    // counts as first: the shared block still finds an older resident.
    bool Claim();
    void Release() { mutex_.reset(); }

private:
    ScopedHandle<KernelHandleTraits> mutex_;
};

// Whether the shared block that existed before this start belongs to a
// resident that still runs: a program from before the marker, which used
// the block as its marker. Its window is then alive and of the resident's
// class. A block left by an ended resident (a hook of the old kind may hold
// it open for a moment) has a dead window.
bool BlockOwnerRuns(const TFmoData* block);

// Whether this start is a second one: a resident runs already. Only a block
// that existed before and names a live resident window says so; a marker
// held by another program of that name does not. A block whose resident is
// starting at this moment gets its window soon: with the marker held
// elsewhere (markerClaimed false), that is waited for up to waitMs.
bool AnotherResidentRuns(bool markerClaimed, bool blockExisted, const volatile TFmoData* block,
                         std::uint32_t waitMs = 2000);

}  // namespace flicko

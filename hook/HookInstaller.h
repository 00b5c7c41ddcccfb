// Installing and removing the system-wide mouse hook, as the resident
// program sees it: two calls, each nonzero on success; and the shared
// block's SendMove flag, which the resident sets during a drag.
#pragma once

#include <cstdint>

namespace flicko {

class IHookInstaller {
public:
    virtual ~IHookInstaller() = default;
    virtual std::int32_t LinkSetHook() = 0;
    virtual std::int32_t LinkUnhook() = 0;
};

// The shared block's SendMove flag, which makes the hook forward moves.
class IHookLink {
public:
    virtual ~IHookLink() = default;
    virtual void SetSendMove() = 0;
    virtual void ClearSendMove() = 0;
};

}  // namespace flicko

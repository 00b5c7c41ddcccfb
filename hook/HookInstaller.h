// Installing and removing the system-wide mouse hook, as the resident
// program sees it: two calls, each nonzero on success.
#pragma once

#include <cstdint>

namespace flicko {

class IHookInstaller {
public:
    virtual ~IHookInstaller() = default;
    virtual std::int32_t LinkSetHook() = 0;
    virtual std::int32_t LinkUnhook() = 0;
};

}  // namespace flicko

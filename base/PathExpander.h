// Expands the macros and environment variables of a path written in a
// settings or scroll-data file. The settings implement it (TPathMacros); the
// rules reader only asks for expansions, so it depends on this and nothing of
// the settings.
#pragma once

#include <string>
#include <string_view>

namespace flicko {

class IPathExpander {
public:
    virtual ~IPathExpander() = default;
    virtual std::string ExpandPath(std::string_view path) const = 0;
};

}  // namespace flicko

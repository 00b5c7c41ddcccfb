// Expansion of the path macros ("<appdir>" and the others) and of
// environment variables in paths given by the settings and scroll-data files.
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

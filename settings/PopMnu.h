// The tray icon's item lists as the settings file describes them. Each key of
// an item section is one item; its name picks the kind, its value is the text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace flicko {

// The numbers are part of the settings format (fcheck prints them).
enum class EPopMnuKind : std::uint8_t {
    Menu = 0,
    End = 1,
    Separator = 2,
    Enable = 3,
    Disable = 4,
    ReadIni = 5,
    ReadScrollDat = 6,
    EditIni = 7,
    EditScrollDat = 8,
    About = 9,
    Utility = 11,
    Execute = 12,
    Shell = 13,
    Exit = 14,
    Startup = 15,
};

struct TPopMnu {
    EPopMnuKind Kind = EPopMnuKind::Separator;
    std::string Text;
    friend bool operator==(const TPopMnu&, const TPopMnu&) = default;
};

using TPopMnuList = std::vector<TPopMnu>;

// The kind of the first keyword the key begins with, without case; a key
// with no known keyword is a separator.
EPopMnuKind KindOfMenuKey(std::string_view key);

}  // namespace flicko

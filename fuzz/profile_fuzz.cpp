// Feeds arbitrary bytes to the native profile-file reader as a file's text,
// queries it, writes one key and checks that it reads back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/native/NativeProfileFiles.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

std::string_view TrimmedValue(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\x1a'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    // The last bytes choose a value to write and a buffer size; all of it is
    // also the file's text.
    const std::size_t bufferSize = size ? data[size - 1] % 40 : 0;
    std::string value;
    for (std::size_t i = size > 16 ? size - 16 : 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c >= 0x20 && c < 0x7f) value += c;
    }

    flicko::TProfileText text(input);
    for (const char* section : {"", "Files", "S", "TaskbarIconLButton"}) {
        for (const auto& key : text.Keys(section, flicko::ProfileFiles::kKeyListBuffer)) {
            (void)text.Find(section, key);
        }
        std::size_t used = 0;
        for (const auto& key : text.Keys(section, bufferSize)) used += key.size() + 1;
        Check(used <= bufferSize);
        if (const auto v = text.Find(section, "Ini")) {
            Check(flicko::TProfileText::CopyEntry(*v, bufferSize, true).size() + 1 <= (bufferSize ? bufferSize : 1));
        }
    }

    text.Set("Fz", "Key1", value);
    const auto back = text.Find("Fz", "Key1");
    Check(back.has_value());
    Check(*back == TrimmedValue(value));
    // Writing must not disturb what another section holds.
    flicko::TProfileText before(input);
    if (!before.HasSection("Fz")) {
        const auto old = before.Find("S", "K");
        const auto now = text.Find("S", "K");
        Check(old.has_value() == now.has_value());
        if (old) Check(*old == *now);
    }
    return 0;
}

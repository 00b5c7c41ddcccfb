#include "platform/fake/FakeEnvironment.h"

namespace flicko {

namespace {
std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}
}  // namespace

void FakeEnvironment::SetVariable(const std::string& name, const std::string& value) {
    variables_[Lower(name)] = value;
}

std::string FakeEnvironment::ExpandEnvironmentStrings(std::string_view text) {
    return ExpandPercentVariables(text, [this](std::string_view name) -> std::optional<std::string> {
        const auto it = variables_.find(Lower(name));
        if (it == variables_.end()) return std::nullopt;
        return it->second;
    });
}

void FakeEnvironment::UseShiftJisLeadBytes() {
    for (int b = 0x81; b <= 0x9F; ++b) leadBytes.insert(static_cast<unsigned char>(b));
    for (int b = 0xE0; b <= 0xFC; ++b) leadBytes.insert(static_cast<unsigned char>(b));
}

}  // namespace flicko

#include "platform/fake/FakeEnvironment.h"

#include "base/Text.h"

namespace flicko {

void FakeEnvironment::SetVariable(const std::string& name, const std::string& value) {
    variables_[AsciiLowerCase(name)] = value;
}

std::string FakeEnvironment::ExpandEnvironmentStrings(std::string_view text) {
    return ExpandPercentVariables(text, [this](std::string_view name) -> std::optional<std::string> {
        const auto it = variables_.find(AsciiLowerCase(name));
        if (it == variables_.end()) return std::nullopt;
        return it->second;
    });
}

void FakeEnvironment::UseShiftJisLeadBytes() {
    for (int b = 0; b < 256; ++b) {
        if (IsShiftJisLeadByte(static_cast<unsigned char>(b))) leadBytes.insert(static_cast<unsigned char>(b));
    }
}

}  // namespace flicko

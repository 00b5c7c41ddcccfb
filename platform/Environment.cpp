#include "platform/Environment.h"

namespace flicko {

std::string ExpandPercentVariables(std::string_view text,
                                   const std::function<std::optional<std::string>(std::string_view)>& lookup) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] != '%') {
            const auto next = text.find('%', pos);
            const auto end = next == std::string_view::npos ? text.size() : next;
            out.append(text.substr(pos, end - pos));
            pos = end;
            continue;
        }
        const auto close = text.find('%', pos + 1);
        if (close == std::string_view::npos) {  // an unfinished name is copied as it stands
            out.append(text.substr(pos));
            break;
        }
        const std::string_view name = text.substr(pos + 1, close - pos - 1);
        const auto value = name.empty() ? std::nullopt : lookup(name);
        if (value) {
            out += *value;
        } else {
            out.append(text.substr(pos, close - pos + 1));
        }
        pos = close + 1;
    }
    return out;
}

}  // namespace flicko

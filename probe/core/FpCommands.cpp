#include "probe/core/FpCommands.h"

namespace flicko {

std::string EditCommandLine(const std::string& editor, const std::string& file) {
    if (editor.find("%1") == std::string::npos) return editor + " " + file;
    std::string out;
    std::size_t at = 0;
    for (std::size_t hit; (hit = editor.find("%1", at)) != std::string::npos; at = hit + 2) {
        out.append(editor, at, hit - at);
        out += file;
    }
    out.append(editor, at, std::string::npos);
    return out;
}

}  // namespace flicko

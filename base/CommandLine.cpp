#include "base/CommandLine.h"

namespace flicko {

std::string FillPlaceholders(std::string_view tmpl, const std::vector<std::string>& args) {
    std::string out;
    out.reserve(tmpl.size());
    std::size_t i = 0;
    while (i < tmpl.size()) {
        bool replaced = false;
        if (tmpl[i] == '%') {
            for (std::size_t n = args.size(); n >= 1; --n) {
                const std::string key = "%" + std::to_string(n);
                if (tmpl.compare(i, key.size(), key) == 0) {
                    out += args[n - 1];
                    i += key.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += tmpl[i++];
    }
    return out;
}

namespace {

std::string WithFileAppended(std::string_view tmpl, std::string_view file) {
    std::string line(tmpl);
    line += ' ';
    line += file;
    return line;
}

}  // namespace

std::string EditCommandLine(std::string_view editor, std::string_view file) {
    if (editor.find("%1") == std::string_view::npos) return WithFileAppended(editor, file);
    return FillPlaceholders(editor, {std::string(file)});
}

std::string DebuggerCommand(std::string_view debuggerTemplate, std::string_view fileName, int line) {
    if (debuggerTemplate.find("%1") == std::string_view::npos) return WithFileAppended(debuggerTemplate, fileName);
    return FillPlaceholders(debuggerTemplate, {std::string(fileName), std::to_string(line)});
}

}  // namespace flicko

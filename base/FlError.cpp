#include "base/FlError.h"

namespace flicko {

namespace {

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    std::string out;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t hit = text.find(from, pos);
        if (hit == std::string::npos) break;
        out.append(text, pos, hit - pos);
        out += to;
        pos = hit + from.size();
    }
    out.append(text, pos, std::string::npos);
    return out;
}

}  // namespace

std::string FileLineText(const std::string& fileName, int line) {
    return "FileName: " + fileName + "\nLine: " + std::to_string(line);
}

std::string ReadErrorBoxText(const std::string& fileName, int line, const std::string& message) {
    return "Scroll-data read error\n" + FileLineText(fileName, line) + "\n" + message + "\nDebug now?";
}

std::string DebuggerCommand(const std::string& debuggerTemplate, const std::string& fileName, int line) {
    if (debuggerTemplate.find("%1") == std::string::npos) return debuggerTemplate + " " + fileName;
    std::string command = debuggerTemplate;
    // Line first: a file name that itself contains "%2" must stay as it is.
    if (command.find("%2") != std::string::npos) command = ReplaceAll(command, "%2", std::to_string(line));
    return ReplaceAll(command, "%1", fileName);
}

}  // namespace flicko

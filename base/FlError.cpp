#include "base/FlError.h"

namespace flicko {

std::string FileLineText(const std::string& fileName, int line) {
    return "FileName: " + fileName + "\nLine: " + std::to_string(line);
}

std::string ReadErrorBoxText(const std::string& fileName, int line, const std::string& message) {
    return "Scroll-data read error\n" + FileLineText(fileName, line) + "\n" + message + "\nDebug now?";
}

}  // namespace flicko

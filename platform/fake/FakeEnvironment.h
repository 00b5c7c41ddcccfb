// A scripted environment for tests: every answer is a public field, a missing
// answer (nullopt) makes the query fail, and each query is counted.
#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/Environment.h"

namespace flicko {

class FakeEnvironment : public Environment {
public:
    // Variable names compare without ASCII case, as on Windows.
    void SetVariable(const std::string& name, const std::string& value);

    std::string ExpandEnvironmentStrings(std::string_view text) override;
    std::optional<std::string> ModuleFileName() override { ++moduleFileNameCalls; return moduleFileName; }
    std::optional<std::string> WindowsDirectory() override { return windowsDirectory; }
    std::optional<std::string> SystemDirectory() override { return systemDirectory; }
    std::optional<std::string> CurrentDirectory() override { ++currentDirectoryCalls; return currentDirectory; }
    std::optional<std::string> TempDirectory() override { return tempDirectory; }
    std::optional<std::string> UserName() override { return userName; }
    std::optional<std::string> UserAppDataDirectory() override { return appDataDirectory; }
    bool IsDbcsLeadByte(unsigned char byte) override { return leadBytes.count(byte) != 0; }
    std::optional<std::string> LongDateText() override { return longDate; }

    // Shift-JIS lead bytes (0x81-0x9F, 0xE0-0xFC), as on a Japanese system.
    void UseShiftJisLeadBytes();

    std::optional<std::string> moduleFileName = std::string("C:\\Program Files\\Flicko\\flicko.exe");
    std::optional<std::string> windowsDirectory = std::string("C:\\WINDOWS");
    std::optional<std::string> systemDirectory = std::string("C:\\WINDOWS\\system32");
    std::optional<std::string> currentDirectory = std::string("C:\\Users\\kim\\Documents");
    std::optional<std::string> tempDirectory = std::string("C:\\Users\\kim\\Temp\\");
    std::optional<std::string> userName = std::string("kim");
    std::optional<std::string> appDataDirectory = std::string("C:\\Users\\kim\\AppData\\Roaming");
    std::optional<std::string> longDate = std::string("Tuesday, 8 December 2026");
    std::set<unsigned char> leadBytes;

    int moduleFileNameCalls = 0;
    int currentDirectoryCalls = 0;

private:
    std::map<std::string, std::string> variables_;  // keyed by the lower-case name
};

}  // namespace flicko

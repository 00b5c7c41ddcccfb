#include "platform/fake/FakeProcesses.h"

namespace flicko {

bool FakeProcesses::Start(FakeProcessCall::Kind kind, const std::string& argument, const char* failCaption) {
    const bool started = failing_.count(argument) == 0;
    calls_.push_back({kind, argument, started});
    if (!started) boxes_.push_back({argument, failCaption});
    return started;
}

bool FakeProcesses::ShellExec(const std::string& file) {
    return Start(FakeProcessCall::Kind::ShellExec, file, "ShellExecute failed");
}

bool FakeProcesses::ShellOpen(const std::string& file) {
    return Start(FakeProcessCall::Kind::ShellOpen, file, "ShellExecute failed");
}

bool FakeProcesses::Execute(const std::string& commandLine) {
    return Start(FakeProcessCall::Kind::Execute, commandLine, "CreateProcess failed");
}

bool FakeProcesses::MakeFolderFor(const std::string& file) {
    calls_.push_back({FakeProcessCall::Kind::MakeFolder, file, true});
    return true;
}

}  // namespace flicko

// A recording stand-in for starting programs. Every request is kept in order;
// a test chooses which command lines or files fail to start.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/Processes.h"

namespace flicko {

struct FakeProcessCall {
    enum class Kind { ShellExec, Execute, ShellOpen, MakeFolder };
    Kind kind = Kind::Execute;
    std::string argument;
    bool started = false;
    friend bool operator==(const FakeProcessCall&, const FakeProcessCall&) = default;
};

// The box a real adapter would show for a failed start.
struct FakeFailureBox {
    std::string text;
    std::string caption;
    friend bool operator==(const FakeFailureBox&, const FakeFailureBox&) = default;
};

class FakeProcesses : public Processes {
public:
    void FailOn(const std::string& argument) { failing_.insert(argument); }

    bool ShellExec(const std::string& file) override;
    bool ShellOpen(const std::string& file) override;
    bool Execute(const std::string& commandLine) override;
    // Recorded with started = true; makes nothing.
    bool MakeFolderFor(const std::string& file) override;

    const std::vector<FakeProcessCall>& Calls() const { return calls_; }
    const std::vector<FakeFailureBox>& Boxes() const { return boxes_; }

private:
    bool Start(FakeProcessCall::Kind kind, const std::string& argument, const char* failCaption);

    std::set<std::string> failing_;
    std::vector<FakeProcessCall> calls_;
    std::vector<FakeFailureBox> boxes_;
};

}  // namespace flicko

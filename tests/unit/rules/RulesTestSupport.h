// Doubles for the rules tests: a context and a report that record what they
// are told, a path expander with one macro, and a scratch folder.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/FlError.h"
#include "rules/ReadContext.h"
#include "settings/PathMacros.h"

namespace flicko::testing {

class RecordingContext : public TReadContext {
public:
    void ReportReadError(const std::string& message) override { Reports.push_back(message); }
    std::string FileLineText() const override { return "FileName: test.dat\nLine: 7"; }
    std::vector<std::string> Reports;
};

struct ReadReport {
    std::string File;
    int Line = 0;
    std::string Message;
    bool Box = false;  // a plain box rather than a continuing report
    friend bool operator==(const ReadReport&, const ReadReport&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const ReadReport& r) {
    return os << (r.Box ? "box " : "") << r.File << ":" << r.Line << ": " << r.Message;
}

class RecordingReport : public IReadErrorReport {
public:
    void ShowErrorBox(const std::string& text) override { Reports.push_back({"", 0, text, true}); }
    void ReportReadError(const std::string& fileName, int line, const std::string& message) override {
        Reports.push_back({fileName, line, message, false});
    }
    void BeginReading() override { ++Begun; }
    void EndReading() override { ++Ended; }
    std::vector<std::string> Messages() const {
        std::vector<std::string> m;
        for (const auto& r : Reports) m.push_back(r.Message);
        return m;
    }
    std::vector<ReadReport> Reports;
    int Begun = 0;
    int Ended = 0;
};

// "<dir>" stands for the scratch folder.
class DirExpander : public IPathExpander {
public:
    explicit DirExpander(std::string dir) : dir_(std::move(dir)) {}
    std::string ExpandPath(std::string_view path) const override {
        std::string p(path);
        const std::size_t at = p.find("<dir>");
        if (at != std::string::npos) p.replace(at, 5, dir_);
        return p;
    }

private:
    std::string dir_;
};

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchDir {
public:
    ScratchDir() {
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                ("flicko-rules-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // The folder as text, without a trailing separator.
    std::string Dir() const { return path_.string(); }
    // Writes name (relative, "/"-separated) and returns its full path.
    std::string Write(const std::string& name, const std::string& content) const {
        const std::filesystem::path p = path_ / std::filesystem::path(name).make_preferred();
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
        return p.string();
    }

private:
    std::filesystem::path path_;
};

}  // namespace flicko::testing

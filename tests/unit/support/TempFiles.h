// A private folder of real files for tests that go through the system's
// profile functions. Every test gets fresh file names, so no cached copy of
// an earlier file can answer for a new one.
#pragma once

#include <atomic>
#include <chrono>
#include <random>
#include <cstdint>
#include <functional>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ProfileFile.h"
#include "base/FlError.h"

namespace flicko::test {

class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        std::ostringstream name;
        // Tests run as parallel processes with identical counters and stack
        // addresses, so the name also carries a clock stamp and a random number.
        std::random_device random;
        name << "flicko-settings-" << std::chrono::steady_clock::now().time_since_epoch().count() << "-"
             << random() << "-" << counter++;
        dir_ = std::filesystem::temp_directory_path() / name.str();
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The full path of name inside the folder, in the platform's spelling.
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream out(dir_ / name, std::ios::binary | std::ios::trunc);
        out << text;
        return Path(name);
    }

    std::string Read(const std::string& name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::filesystem::path dir_;
};

// Passes every call on and notes which files the chain reader visited.
class RecordingProfiles : public ProfileFiles {
public:
    explicit RecordingProfiles(ProfileFiles& inner) : inner_(inner) {}

    std::string GetString(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& def, std::size_t bufferSize) override {
        // [Files] Ini is read once per file of the chain.
        if (section == "Files" && key == "Ini") filesRead.push_back(file);
        return inner_.GetString(file, section, key, def, bufferSize);
    }
    std::vector<std::string> GetKeys(const std::string& file, const std::string& section,
                                     std::size_t bufferSize) override {
        return inner_.GetKeys(file, section, bufferSize);
    }
    bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override {
        writes.push_back(file + "|" + section + "|" + key + "|" + value);
        return inner_.WriteString(file, section, key, value);
    }
    bool WriteStringAtomically(const std::string& file, const std::string& section, const std::string& key,
                               const std::string& value) override {
        atomicWrites.push_back(file + "|" + section + "|" + key + "|" + value);
        return inner_.WriteStringAtomically(file, section, key, value);
    }
    bool MakeFolderFor(const std::string& file) override { return inner_.MakeFolderFor(file); }

    std::vector<std::string> filesRead;
    std::vector<std::string> writes;
    std::vector<std::string> atomicWrites;

private:
    ProfileFiles& inner_;
};

class RecordingErrors : public IErrorReport {
public:
    void ShowErrorBox(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

}  // namespace flicko::test

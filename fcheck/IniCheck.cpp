#include "fcheck/IniCheck.h"

#include <charconv>
#include <exception>
#include <fstream>
#include <ostream>

#include "settings/FlSettings.h"

namespace flicko {

namespace {

class StreamErrorReport : public IErrorReport {
public:
    explicit StreamErrorReport(std::ostream& err) : err_(err) {}
    void ShowErrorBox(const std::string& text) override {
        std::string line = text;
        for (char& c : line) {
            if (c == '\n' || c == '\r') c = ' ';
        }
        err_ << line << '\n';
        reported_ = true;
    }
    bool Reported() const { return reported_; }

private:
    std::ostream& err_;
    bool reported_ = false;
};

// The shortest text that reads back as the same float ("0.5", not 0.500000).
std::string FloatText(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void PrintItems(std::ostream& out, const char* name, const TPopMnuList& items) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        out << name << '[' << i << "]=" << static_cast<int>(items[i].Kind) << '|' << items[i].Text << '\n';
    }
}

}  // namespace

int RunIniCheck(const std::string& file, std::ostream& out, std::ostream& err, Environment& env,
                ProfileFiles& profiles) {
    StreamErrorReport errors(err);
    // Later files of a chain may be missing (a user's own file before its
    // first edit reads as empty), the one asked for may not.
    if (!std::ifstream(file).is_open()) {
        errors.ShowErrorBox("Settings file not exist : " + file);
        return 2;
    }
    TPathMacros paths(env);
    TFlSettings settings(profiles, paths, errors);
    try {
        SetDefaultPaths(settings.Files(), paths);
        SetDefaultSettings(settings.Values(), env);
        settings.Files().Ini = file;
        settings.ReadSettings();
    } catch (const std::exception& e) {
        errors.ShowErrorBox(e.what());
        return 1;
    }

    const TFiles& f = settings.Files();
    const TSettingValues& v = settings.Values();
    out << "Files.Ini=" << f.Ini << '\n'
        << "Files.ScrollDat=" << f.ScrollDat << '\n'
        << "Files.Editor=" << f.Editor << '\n'
        << "Files.Debugger=" << f.Debugger << '\n'
        << "Files.WriteExitStatus=" << BoolToStr(v.WriteExitStatus) << '\n'
        << "TaskbarIcon.Tooltip=" << v.TaskbarIcon.Tooltip << '\n'
        << "TaskbarIcon.LeftButton=" << settings.LeftButtonSection() << '\n'
        << "TaskbarIcon.RightButton=" << settings.RightButtonSection() << '\n'
        << "Scroll.Enable=" << BoolToStr(v.Enabled) << '\n'
        << "Scroll.InertiaMin=" << FloatText(v.InertiaMin) << '\n'
        << "Scroll.XTTolerance=" << v.Tolerance[0].Time << '\n'
        << "Scroll.YTTolerance=" << v.Tolerance[1].Time << '\n'
        << "Scroll.XTolerance=" << v.Tolerance[0].Distance << '\n'
        << "Scroll.YTolerance=" << v.Tolerance[1].Distance << '\n'
        << "Scroll.CheckMouseInterval=" << v.CheckMouseInterval << '\n'
        << "Scroll.InertiaInterval=" << v.InertiaInterval << '\n'
        << "Scroll.LeaveConfinedCursor=" << BoolToStr(v.LeaveConfinedCursor) << '\n'
        << "Scroll.PassKey=" << v.PassKey << '\n'
        << "Etc.Ja=" << BoolToStr(v.Ja) << '\n';
    PrintItems(out, "LeftButton", v.TaskbarIcon.LeftButton);
    PrintItems(out, "RightButton", v.TaskbarIcon.RightButton);
    return errors.Reported() ? 1 : 0;
}

}  // namespace flicko

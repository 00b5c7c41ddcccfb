// Cost of the settings reader: parsing a typical settings file, looking a key
// up, expanding a path, and a whole two-file chain through real files.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "platform/native/NativeProfileFiles.h"
#include "platform/fake/FakeEnvironment.h"
#include "base/FlError.h"
#include "settings/FlSettings.h"

namespace {

std::string TypicalSettingsText() {
    std::string text =
        "; Flicko settings\r\n[Files]\r\nScrollDat=<appdir>\\default\\scroll.dat\r\n"
        "Editor=<windir>\\notepad.exe %1\r\nWriteExitStatus=False\r\n"
        "[TaskbarIcon]\r\nTooltip=Flicko\r\n"
        "[Scroll]\r\nEnable=True\r\nInertiaMin=1000\r\nTTolerance=0.1\r\n"
        "CheckMouseInterval=0.01\r\nInertiaInterval=0.01\r\n"
        "[TaskbarIconLButton]\r\nEnable=Enable\r\n"
        "[TaskbarIconRButton]\r\nMenu=\r\n";
    for (int i = 0; i < 20; ++i) text += "Execute" + std::to_string(i) + "=cmd" + std::to_string(i) + ".exe : Item\r\n";
    text += "End=\r\n[Etc]\r\nJa=False\r\n";
    return text;
}

void BM_ParseSettingsText(benchmark::State& state) {
    const std::string text = TypicalSettingsText();
    for (auto _ : state) {
        flicko::TProfileText parsed(text);
        benchmark::DoNotOptimize(parsed.Find("Etc", "Ja"));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseSettingsText);

void BM_ExpandPath(benchmark::State& state) {
    flicko::FakeEnvironment env;
    env.SetVariable("HOME", "C:\\Users\\kim");
    flicko::TPathMacros macros(env);
    for (auto _ : state) {
        benchmark::DoNotOptimize(macros.ExpandPath("%HOME%\\<username>\\<AppDir>\\default\\flicko.ini"));
    }
}
BENCHMARK(BM_ExpandPath);

class NoErrors : public flicko::IErrorReport {
public:
    void ShowErrorBox(const std::string&) override {}
};

// What the ReadIni command costs: two files, every key, both item lists.
void BM_ReadSettingsChainOfTwoFiles(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "flicko-settings-bench";
    std::filesystem::create_directories(dir);
    const auto a = (dir / "a.ini").string();
    const auto b = (dir / "b.ini").string();
    std::ofstream(a, std::ios::binary) << "[Files]\r\nIni=" << b << "\r\n" << TypicalSettingsText();
    std::ofstream(b, std::ios::binary) << TypicalSettingsText();

    flicko::FakeEnvironment env;
    flicko::TPathMacros macros(env);
    flicko::NativeProfileFiles profiles;
    NoErrors errors;
    flicko::TFlSettings settings(profiles, macros, errors);
    for (auto _ : state) {
        settings.Files().Ini = a;
        settings.ReadSettings();
        benchmark::DoNotOptimize(settings.Values().TaskbarIcon.RightButton.size());
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ReadSettingsChainOfTwoFiles);

}  // namespace

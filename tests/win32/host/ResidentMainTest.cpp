// The resident program's main object as the program runs it: its window,
// the real shared block, the real hook library and the real loop, in a
// folder of its own. A small script, run by a timer in the program's own
// loop, plays the user; the object is then torn down in the program's order.
#include "platform/win32/WindowsInclude.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "hook/FmoData.h"
#include "host/FlMain.h"
#include "tests/unit/host/RefusingNotifyArea.h"
#include "platform/win32/ScopedHandle.h"

namespace flicko {
namespace {

std::string ThisFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\'));
}

// The system's environment, but the program lives in another folder.
class ProgramIn : public Environment {
public:
    explicit ProgramIn(std::string folder) : folder_(std::move(folder)) {}
    std::string ExpandEnvironmentStrings(std::string_view text) override { return system_->ExpandEnvironmentStrings(text); }
    std::optional<std::string> ModuleFileName() override { return folder_ + "\\flicko.exe"; }
    std::optional<std::string> WindowsDirectory() override { return system_->WindowsDirectory(); }
    std::optional<std::string> SystemDirectory() override { return system_->SystemDirectory(); }
    std::optional<std::string> CurrentDirectory() override { return system_->CurrentDirectory(); }
    std::optional<std::string> TempDirectory() override { return system_->TempDirectory(); }
    std::optional<std::string> UserName() override { return system_->UserName(); }
    std::optional<std::string> UserAppDataDirectory() override { return system_->UserAppDataDirectory(); }
    bool IsDbcsLeadByte(unsigned char byte) override { return system_->IsDbcsLeadByte(byte); }
    std::optional<std::string> LongDateText() override { return system_->LongDateText(); }

private:
    std::string folder_;
    std::unique_ptr<Environment> system_ = MakeSystemEnvironment();
};

// The keyboard focus of the thread a window belongs to.
HWND FocusOf(HWND window) {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &gui) ? gui.hwndFocus : nullptr;
}

int& Faults() {
    static int faults = 0;
    return faults;
}

LONG CALLBACK CountFault(EXCEPTION_POINTERS* e) {
    if (e->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION) ++Faults();
    return EXCEPTION_CONTINUE_SEARCH;
}

// Steps run one after the other from a timer of the program's loop; a step
// returns true once it is done.
struct Script {
    std::vector<std::function<bool()>> steps;
    std::size_t next = 0;
    int ticks = 0;
    HWND program = nullptr;
    static Script* running;
    static VOID CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        Script& s = *running;
        // Some 10 s in all: a step that never completes closes the program.
        if (++s.ticks == 500) ::PostMessageA(s.program, WM_CLOSE, 0, 0);
        if (s.ticks >= 500 || s.next >= s.steps.size()) return;
        if (s.steps[s.next]()) ++s.next;
    }
};
Script* Script::running = nullptr;

class ResidentMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        // A folder per case: the hook library of the last one may still be
        // mapped into this process, and then its copy cannot be replaced.
        static int cases = 0;
        folder_ = std::string(temp) + "flicko-resident-" + std::to_string(::GetCurrentProcessId()) + "-" +
                  std::to_string(++cases);
        ::CreateDirectoryA(folder_.c_str(), nullptr);
        ::CreateDirectoryA((folder_ + "\\default").c_str(), nullptr);
        ASSERT_TRUE(::CopyFileA((ThisFolder() + "\\release\\claspm.dll").c_str(), (folder_ + "\\claspm.dll").c_str(),
                                FALSE));
        Write("default\\flicko.ini",
              "[Files]\r\nWriteExitStatus=True\r\n[Scroll]\r\nEnable=True\r\n"
              "[TaskbarIconLButton]\r\nAbout=About\r\n[TaskbarIconRButton]\r\nExit=Exit\r\n");
        Write("default\\scroll.dat", "Class(Edit) { }\r\nelse { IsScroll: 0; }\r\n");
    }
    void TearDown() override {
        for (const char* f : {"\\default\\flicko.ini", "\\default\\scroll.dat", "\\claspm.dll"}) {
            ::DeleteFileA((folder_ + f).c_str());
        }
        ::RemoveDirectoryA((folder_ + "\\default").c_str());
        ::RemoveDirectoryA(folder_.c_str());
    }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(folder_ + "\\" + name, std::ios::binary) << text;
    }
    std::string Read(const std::string& name) {
        std::ifstream in(folder_ + "\\" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // The shared block's Hook, as the hook library sees it.
    static std::uint32_t Hook() {
        const ScopedHandle<KernelHandleTraits> map(::OpenFileMappingA(FILE_MAP_READ, FALSE, kFmoName));
        if (!map) return 0;
        const auto* view = static_cast<const TFmoData*>(::MapViewOfFile(map.get(), FILE_MAP_READ, 0, 0, 0));
        if (!view) return 0;
        const std::uint32_t hook = view->Hook;
        ::UnmapViewOfFile(view);
        return hook;
    }

    // Runs the resident program with the script in its loop, then tears it
    // down as WinMain does (the object ends with the scope). The program
    // must end by itself.
    void Run(Script& script, INotifyArea* area = nullptr) {
        {
            TFlMain main(::GetModuleHandleA(nullptr), std::make_unique<ProgramIn>(folder_), area);
            main_ = &main;
            ASSERT_TRUE(main.CreateMainWindow());
            main.StartUp();
            ASSERT_NE(Hook(), 0u) << "scrolling is on at the start";
            Script::running = &script;
            script.program = main.Window();
            const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, Script::Tick);
            EXPECT_EQ(main.MessageLoop(), 0);
            ::KillTimer(nullptr, timer);
            EXPECT_EQ(script.next, script.steps.size()) << "the script stopped at step " << script.next;
            aboutAtTeardown_ = about_ && ::IsWindow(about_);
            // The teardown: a fault in a callback of the window's destruction
            // is swallowed by the system's callback filter (Wine's too), so
            // it is counted where it is first raised.
            Faults() = 0;
            faultWatch_ = ::AddVectoredExceptionHandler(1, CountFault);
        }
        ::RemoveVectoredExceptionHandler(faultWatch_);
        EXPECT_EQ(Faults(), 0) << "a callback of the teardown reached an object that was gone";
        main_ = nullptr;
        EXPECT_FALSE(ScopedHandle<KernelHandleTraits>(::OpenFileMappingA(FILE_MAP_READ, FALSE, kFmoName)))
            << "the block outlived the program";
    }

    // Script steps.
    std::function<bool()> ClickIcon(UINT button) {
        return [this, button] {
            ::PostMessageA(main_->Window(), WM_TASKBARICON, 1, button);
            return true;
        };
    }
    std::function<bool()> AboutOpen() {
        return [this] {
            about_ = main_->AboutWindow();
            return about_ != nullptr && Hook() == 0;
        };
    }
    std::function<bool()> Post(UINT msg, WPARAM wParam = 0) {
        return [this, msg, wParam] {
            ::PostMessageA(main_->Window(), msg, wParam, 0);
            return true;
        };
    }

    std::string folder_;
    TFlMain* main_ = nullptr;
    bool aboutAtTeardown_ = false;
    void* faultWatch_ = nullptr;
    HWND about_ = nullptr;
};

TEST_F(ResidentMainTest, AboutTakesTheKeyboardOpensOnceAndEnterGivesScrollingBack) {
    HWND focus = nullptr;
    HWND ok = nullptr;
    HWND foreground = nullptr;
    HWND second = nullptr;
    int dialogs = 0;
    HWND other = ::CreateWindowExA(0, "STATIC", "another program", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
    Script script{{ClickIcon(WM_LBUTTONUP), AboutOpen(),
                   [&] {
                       focus = FocusOf(about_);
                       ok = ::GetDlgItem(about_, IDOK);
                       foreground = ::GetForegroundWindow();
                       // Another window takes the front; a second About brings
                       // the open one back instead of opening another.
                       ::ShowWindow(other, SW_SHOW);
                       ::SetForegroundWindow(other);
                       ::PostMessageA(main_->Window(), WM_TASKBARICON, 1, WM_LBUTTONUP);
                       return true;
                   },
                   [&] {
                       second = ::GetForegroundWindow();
                       HWND w = nullptr;
                       dialogs = 0;
                       while ((w = ::FindWindowExA(nullptr, w, "#32770", "About Flicko"))) ++dialogs;
                       // Enter where the keyboard is, once the dialog has
                       // it back: the dialog's loop routes it.
                       HWND keys = FocusOf(about_);
                       if (!keys) return false;
                       ::PostMessageA(keys, WM_KEYDOWN, VK_RETURN, 0);
                       ::PostMessageA(keys, WM_KEYUP, VK_RETURN, 0);
                       return true;
                   },
                   [&] { return !::IsWindow(about_) && Hook() != 0; }, ClickIcon(WM_RBUTTONUP)}};
    Run(script);
    ::DestroyWindow(other);
    EXPECT_EQ(foreground, about_);
    EXPECT_EQ(focus, ok) << "Enter would not reach the OK button";
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(second, about_);
    EXPECT_NE(Read("default\\flicko.ini").find("Enable=True"), std::string::npos);
}

// Each way of ending the program with the dialog open: its window goes with
// the program's, and gives the pause back to an application that is still
// there.
TEST_F(ResidentMainTest, ExitFromTheMenuWithTheAboutDialogOpenEndsCleanly) {
    Script script{{ClickIcon(WM_LBUTTONUP), AboutOpen(), ClickIcon(WM_RBUTTONUP)}};
    Run(script);
    EXPECT_TRUE(aboutAtTeardown_);
    EXPECT_NE(Read("default\\flicko.ini").find("Enable=True"), std::string::npos)
        << "the state before the end was not written";
}

TEST_F(ResidentMainTest, CloseFromAnotherProgramWithTheAboutDialogOpenEndsCleanly) {
    Script script{{ClickIcon(WM_LBUTTONUP), AboutOpen(), Post(WM_CLOSE)}};
    Run(script);
    EXPECT_TRUE(aboutAtTeardown_);
}

TEST_F(ResidentMainTest, EndOfSessionWithTheAboutDialogOpenKeepsTheHookOutAfterwards) {
    Script script{{ClickIcon(WM_LBUTTONUP), AboutOpen(),
                   [&] {
                       ::SendMessageA(main_->Window(), WM_QUERYENDSESSION, 0, 0);
                       ::SendMessageA(main_->Window(), WM_ENDSESSION, TRUE, 0);
                       // The dialog closed afterwards must not put the hook back.
                       ::PostMessageA(about_, WM_COMMAND, IDOK, 0);
                       return true;
                   },
                   [&] { return main_->AboutWindow() == nullptr; }, [&] { return Hook() == 0; }, Post(WM_CLOSE)}};
    Run(script);
    EXPECT_NE(Read("default\\flicko.ini").find("Enable=True"), std::string::npos);
}

TEST_F(ResidentMainTest, IconRefusedAtStartIsAddedByTheLoopOnceTheShellTakesIt) {
    // The shell at logon: not ready for the first adds.
    testing::RefusingNotifyArea shell(2);
    int addsWhenThere = 0;
    Script script{{[&] {
                       addsWhenThere = shell.adds;
                       return shell.present;
                   },
                   Post(WM_CLOSE)}};
    Run(script, &shell);
    EXPECT_EQ(addsWhenThere, 3);
    EXPECT_FALSE(shell.present) << "the icon outlived the program";
}

}  // namespace
}  // namespace flicko

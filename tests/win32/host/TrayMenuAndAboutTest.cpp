// The tray menu and the About dialog with real menus, dialogs and version
// resources (this test binary carries the program's resources).
#include "platform/win32/WindowsInclude.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FlickoVersion.h"
#include "host/FlDialog.h"
#include "tests/unit/host/RecordingPopMnuHost.h"
#include "host/FlMenu.h"
#include "platform/win32/ScopedHandle.h"
#include "host/core/AboutTemplate.h"
#include "platform/fake/FakeProcesses.h"

namespace flicko {
namespace {

struct RecordingHost : RecordingPopMnuHost, IAboutHost {
    // Set at each resume, for a thread that waits on it.
    ScopedHandle<KernelHandleTraits> resumed{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    // Both interfaces ask for the pause; one record serves them.
    void PauseHook() override { RecordingPopMnuHost::PauseHook(); }
    void ResumeHook() override {
        RecordingPopMnuHost::ResumeHook();
        ::SetEvent(resumed.get());
    }
};

struct NoExpansion : IPathExpander {
    std::string ExpandPath(std::string_view path) const override { return std::string(path); }
};

std::string ThisProgram() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

class TrayWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = ::CreateWindowExA(0, "STATIC", "menu owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        ::DestroyWindow(window_);
        Pump();
    }
    static void Pump() {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    // This thread plays the resident's: its window hands the dialog's
    // messages on, until done holds (some 10 s at most).
    void PumpAbout(TAboutDialog& about, const std::function<bool()>& done) {
        for (int i = 0; i < 2000 && !done(); ++i) {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.hwnd == window_ && about.HandleMessage(msg.message, msg.wParam, msg.lParam)) continue;
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
            ::Sleep(5);
        }
    }
    // The dialog once it is there; null if it never came.
    HWND OpenAbout(TAboutDialog& about, bool japanese) {
        if (!about.Show(files_, japanese)) return nullptr;
        PumpAbout(about, [&] { return about.Window() != nullptr || !about.IsOpen(); });
        return about.Window();
    }
    HWND window_ = nullptr;
    RecordingHost host_;
    FakeProcesses processes_;
    NoExpansion paths_;
    TFiles files_{ThisProgram(), "C:\\f\\flicko.ini", "C:\\f\\scroll.dat", "C:\\no\\claspm.dll",
                  "C:\\no\\fprobe.exe", "ed %1", ""};
};

using K = EPopMnuKind;

// The shipped right-button list, with a sub-menu added.
const TPopMnuList kMenu{{K::Menu, ""},          {K::Enable, "Scrolling on"}, {K::Disable, "Scrolling off"},
                        {K::Separator, ""},     {K::Menu, "More"},           {K::ReadIni, "Read settings again"},
                        {K::End, ""},           {K::About, "About Flicko"},  {K::Exit, "Exit"},
                        {K::End, ""}};

DWORD UserObjects() { return ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS); }

// Popup menus that count how many of them are alive. DestroyMenu takes a
// menu's sub-menus with it, so they leave the count at the same time.
struct CountingMenuTraits : PopupMenuTraits {
    static long MenusIn(HMENU menu) {
        long n = 1;
        const int count = ::GetMenuItemCount(menu);
        for (int i = 0; i < count; ++i) {
            if (HMENU sub = ::GetSubMenu(menu, i)) n += MenusIn(sub);
        }
        return n;
    }
    static HMENU Create() {
        HMENU menu = PopupMenuTraits::Create();
        if (menu) ++live, ++made;
        return menu;
    }
    static void Close(HMENU menu) {
        live -= MenusIn(menu);
        PopupMenuTraits::Close(menu);
    }
    static inline long live = 0;
    static inline long made = 0;
};

TEST_F(TrayWindowTest, ThousandOpeningsLeaveNoMenuAliveAndPauseTheHookEachTime) {
    TTrayMenu menu(window_, host_, processes_, files_, paths_);
    const long liveBefore = CountingMenuTraits::live;
    const long madeBefore = CountingMenuTraits::made;
    const DWORD objectsBefore = UserObjects();
    constexpr int kOpenings = 1000;
    for (int i = 0; i < kOpenings; ++i) {
        // Waiting in the queue: the menu's own loop takes it and closes.
        ::PostMessageA(window_, WM_CANCELMODE, 0, 0);
        menu.ShowPopMnuWith<TWin32MenuBuilderOf<CountingMenuTraits>>(kMenu);
        ASSERT_EQ(CountingMenuTraits::live, liveBefore) << "after opening " << i;
    }
    // Each opening made the menu and its sub-menu.
    EXPECT_EQ(CountingMenuTraits::made - madeBefore, 2L * kOpenings);
    Pump();
    // Wine reports no user objects; where the count exists it must not grow.
    if (objectsBefore != 0) {
        EXPECT_LE(UserObjects(), objectsBefore + 2);
    }
    ASSERT_EQ(host_.calls.size(), 2u * kOpenings);
    for (int i = 0; i < kOpenings; ++i) {
        ASSERT_EQ(host_.calls[2 * i], "pause");
        ASSERT_EQ(host_.calls[2 * i + 1], "resume");
    }
}

TEST_F(TrayWindowTest, ChosenItemRunsAfterTheHookIsBack) {
    TTrayMenu menu(window_, host_, processes_, files_, paths_);
    // The keys wait in the queue: down to "Scrolling off", then Enter.
    ::PostMessageA(window_, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageA(window_, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageA(window_, WM_KEYDOWN, VK_RETURN, 0);
    menu.ShowPopMnu(kMenu);
    EXPECT_EQ(host_.calls, (std::vector<std::string>{"pause", "resume", "disable"}));
}

TEST_F(TrayWindowTest, ListWithoutMenuRunsItsFirstItemWithoutPausing) {
    TTrayMenu menu(window_, host_, processes_, files_, paths_);
    TTaskbarIconItems items;
    items.LeftButton = {{K::Enable, "Enable"}, {K::Exit, "Exit"}};
    menu.TaskbarIconNotify(1, WM_LBUTTONUP, items);
    menu.TaskbarIconNotify(1, WM_LBUTTONDOWN, items);  // only releases count
    menu.TaskbarIconNotify(2, WM_LBUTTONUP, items);    // not our icon
    menu.TaskbarIconNotify(1, WM_RBUTTONUP, items);    // an empty right list
    EXPECT_EQ(host_.calls, (std::vector<std::string>{"disable"}));
}

// --- About -------------------------------------------------------------------

TEST(VersionResourceTest, StringsComeFromTheTranslationTableAndMissingOnesAreEmpty) {
    EXPECT_EQ(ReadVersionString(ThisProgram(), "ProductVersion"), FLICKO_VERSION_STRING);
    EXPECT_EQ(ReadVersionString(ThisProgram(), "FileVersion"), FLICKO_FILE_VERSION_STRING);
    EXPECT_FALSE(ReadVersionString(ThisProgram(), "LegalCopyright").empty());
    EXPECT_EQ(ReadVersionString(ThisProgram(), "NoSuchString"), "");
    EXPECT_EQ(ReadVersionString("C:\\flicko_no_such_dir\\claspm.dll", "FileVersion"), "");
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(ReadVersionString(std::string(system) + "\\..\\win.ini", "FileVersion"), "");
}

std::wstring Text(HWND dialog, int id) {
    wchar_t buffer[4096] = {};
    ::GetDlgItemTextW(dialog, id, buffer, 4096);
    return buffer;
}

bool HasHorizontalBar(HWND dialog) {
    return (::GetWindowLongW(::GetDlgItem(dialog, kAboutFilesId), GWL_STYLE) & WS_HSCROLL) != 0;
}

TEST_F(TrayWindowTest, AboutShowsVersionsAndHidesTheBarWhenTheFilesFit) {
    // The program file listed is a copy of this one under a short name of
    // its own: whether the list fits must not depend on where the tree is
    // checked out.
    char windows[MAX_PATH] = {};
    ASSERT_NE(::GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    files_.AppPath = std::string(windows) + "\\Temp\\fl_about.exe";
    ASSERT_TRUE(::CopyFileA(ThisProgram().c_str(), files_.AppPath.c_str(), FALSE));
    struct RemoveCopy {
        std::string path;
        ~RemoveCopy() { ::DeleteFileA(path.c_str()); }
    } removeCopy{files_.AppPath};
    TAboutDialog about(::GetModuleHandleA(nullptr), window_, host_);
    HWND dialog = OpenAbout(about, false);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(host_.calls, std::vector<std::string>{"pause"});
    wchar_t title[64] = {};
    ::GetWindowTextW(dialog, title, 64);
    EXPECT_STREQ(title, L"About Flicko");
    EXPECT_EQ(Text(dialog, kAboutVersionId).rfind(L"Version " FLICKO_VERSION_WSTRING L"\r\n", 0), 0u);
    const std::wstring list = Text(dialog, kAboutFilesId);
    EXPECT_NE(list.find(L": " FLICKO_FILE_VERSION_WSTRING L"\r\nC:\\no\\claspm.dll: \r\n"), std::wstring::npos) << list;
    EXPECT_FALSE(HasHorizontalBar(dialog));
    EXPECT_NE(::SendDlgItemMessageW(dialog, kAboutIconId, STM_GETIMAGE, IMAGE_ICON, 0), 0);
}

TEST_F(TrayWindowTest, AboutKeepsTheBarForALongPathAndEnterClosesItOnce) {
    files_.ScrollDat = "C:\\" + std::string(240, 'd') + "\\scroll.dat";
    TAboutDialog about(::GetModuleHandleA(nullptr), window_, host_);
    HWND dialog = OpenAbout(about, false);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(HasHorizontalBar(dialog));
    // Enter where the dialog's thread has the keyboard; its loop routes it.
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    ASSERT_TRUE(::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &gui));
    EXPECT_EQ(gui.hwndFocus, ::GetDlgItem(dialog, IDOK)) << "Enter would not reach the OK button";
    ::PostMessageA(gui.hwndFocus ? gui.hwndFocus : dialog, WM_KEYDOWN, VK_RETURN, 0);
    PumpAbout(about, [&] { return !about.IsOpen(); });
    EXPECT_EQ(about.Window(), nullptr);
    about.End();
    EXPECT_FALSE(::IsWindow(dialog));
    EXPECT_EQ(host_.calls, (std::vector<std::string>{"pause", "resume"}));
}

// The dialog's thread may wait inside the hide of its window (under Wine
// without a window manager, two seconds): the hook is back before that.
struct HoldDestroy {
    static inline HWND dialog = nullptr;
    static inline HANDLE resumed = nullptr;
    static inline bool resumedFirst = false;
    static LRESULT CALLBACK Cbt(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_DESTROYWND && reinterpret_cast<HWND>(wParam) == dialog) {
            resumedFirst = ::WaitForSingleObject(resumed, 10000) == WAIT_OBJECT_0;
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

struct WindowsHookTraits {
    using handle_type = HHOOK;
    static handle_type GetInvalid() { return nullptr; }
    static bool IsValid(handle_type h) { return h != nullptr; }
    static void Close(handle_type h) { ::UnhookWindowsHookEx(h); }
};

TEST_F(TrayWindowTest, AboutClosedWithOkGivesTheHookBackBeforeItsWindowStartsToGo) {
    TAboutDialog about(::GetModuleHandleA(nullptr), window_, host_);
    HWND dialog = OpenAbout(about, false);
    ASSERT_NE(dialog, nullptr);
    HoldDestroy::dialog = dialog;
    HoldDestroy::resumed = host_.resumed.get();
    HoldDestroy::resumedFirst = false;
    // The dialog's thread stops as its window starts to go, until the hook
    // is back on this thread.
    const ScopedHandle<WindowsHookTraits> hold(
        ::SetWindowsHookExW(WH_CBT, HoldDestroy::Cbt, nullptr, ::GetWindowThreadProcessId(dialog, nullptr)));
    ASSERT_TRUE(hold);
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    PumpAbout(about, [&] { return !about.IsOpen(); });
    about.End();
    EXPECT_TRUE(HoldDestroy::resumedFirst) << "the hook waited for the dialog's window to go";
    EXPECT_EQ(host_.calls, (std::vector<std::string>{"pause", "resume"}));
}

TEST_F(TrayWindowTest, AboutInJapaneseModeReadsJapaneseWhateverTheCodePage) {
    TAboutDialog about(::GetModuleHandleA(nullptr), window_, host_);
    HWND dialog = OpenAbout(about, true);
    ASSERT_NE(dialog, nullptr);
    wchar_t title[64] = {};
    ::GetWindowTextW(dialog, title, 64);
    EXPECT_STREQ(title, L"\u3075\u308A\u3063\u3053\u306B\u3064\u3044\u3066");
    EXPECT_EQ(Text(dialog, kAboutNameId), L"\u3075\u308A\u3063\u3053");
    EXPECT_EQ(Text(dialog, kAboutVersionId).rfind(L"\u30D0\u30FC\u30B8\u30E7\u30F3 ", 0), 0u);
}

// Whether the font a control draws with has a glyph for every character of
// its text (no test sees a glyph drawn; the font's own table is the next
// best thing).
bool ControlFontShowsItsText(HWND control) {
    wchar_t text[4096] = {};
    const int n = ::GetWindowTextW(control, text, 4096);
    const ScopedWindowDc windowDc(WindowDc{control, ::GetDC(control)});
    HDC dc = windowDc.get().dc;
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    std::vector<WORD> glyphs(static_cast<std::size_t>(n) + 1);
    ::GetGlyphIndicesW(dc, text, n, glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    ::SelectObject(dc, old);
    for (int i = 0; i < n; ++i) {
        if (text[i] >= L' ' && glyphs[static_cast<std::size_t>(i)] == 0xFFFF) return false;
    }
    return true;
}

int CALLBACK CountFace(const LOGFONTW* face, const TEXTMETRICW*, DWORD, LPARAM count) {
    if (face->lfFaceName[0] != L'@') ++*reinterpret_cast<int*>(count);
    return 1;
}

// The first Japanese face installed may have no Latin letters (Droid Sans
// Fallback under Wine): the dialog took it for the kana and drew "OK" as
// boxes, and its wide average character made the dialog 966 pixels wide.
TEST_F(TrayWindowTest, AboutDrawsEveryTextInAFaceThatHasItAndIsSizedFromThem) {
    for (bool japanese : {false, true}) {
        if (japanese) {
            LOGFONTW query{};
            query.lfCharSet = SHIFTJIS_CHARSET;
            int faces = 0;
            const ScopedWindowDc screen(WindowDc{nullptr, ::GetDC(nullptr)});
            ::EnumFontFamiliesExW(screen.get().dc, &query, CountFace, reinterpret_cast<LPARAM>(&faces), 0);
            if (faces == 0) GTEST_SKIP() << "no Japanese face installed";
        }
        TAboutDialog about(::GetModuleHandleA(nullptr), window_, host_);
        HWND dialog = OpenAbout(about, japanese);
        ASSERT_NE(dialog, nullptr);
        for (int id : {kAboutNameId, kAboutVersionId, kAboutFilesId, kAboutOkId}) {
            EXPECT_TRUE(ControlFontShowsItsText(::GetDlgItem(dialog, id))) << "japanese " << japanese << ", item " << id;
        }
        RECT r;
        ::GetWindowRect(dialog, &r);
        EXPECT_LE(r.right - r.left, 480 + 4 * ::GetSystemMetrics(SM_CXDLGFRAME) + 8) << "japanese " << japanese;
    }
}

}  // namespace
}  // namespace flicko

// The real hook library through the real loader, on this process's own
// shared block.
#include "platform/win32/WindowsInclude.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

#include "hook/loader/HookLink.h"
#include "hook/loader/InstanceMarker.h"
#include "hook/loader/SharedBlock.h"

namespace flicko {
namespace {

std::string ReleaseLibrary() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    dir.resize(dir.find_last_of('\\'));
    return dir + "\\release\\claspm.dll";
}

class HookLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        fmo_.CreateFmo();
        ASSERT_FALSE(fmo_.AlreadyExisted()) << "another resident program owns the block";
        block_ = fmo_.MapFmo();
        ASSERT_NE(block_, nullptr);
        *block_ = TFmoData{0, 0, 0};
        ASSERT_NE(::GetFileAttributesA(ReleaseLibrary().c_str()), INVALID_FILE_ATTRIBUTES) << ReleaseLibrary();
    }
    void TearDown() override {
        if (block_ && block_->Hook) THookLink(ReleaseLibrary(), block_).LinkUnhook();
    }

    TFileMapping fmo_;
    TFmoData* block_ = nullptr;
};

TEST_F(HookLinkTest, SetHookInstallsOnceAndRecordsTheHandle) {
    THookLink link(ReleaseLibrary(), block_);
    EXPECT_EQ(link.LinkSetHook(), -1);
    const std::uint32_t hook = block_->Hook;
    EXPECT_NE(hook, 0u);
    EXPECT_EQ(link.LinkSetHook(), -1);
    EXPECT_EQ(block_->Hook, hook) << "a second hook was installed";
    // The loader frees its reference after each call, but the library pins
    // itself in the process that installs the hook: the system runs the hook
    // procedure in that thread too, and it must not go while on the stack.
    EXPECT_NE(::GetModuleHandleA("claspm.dll"), nullptr);
}

TEST_F(HookLinkTest, UnhookClearsTheHandleAndSucceedsWithoutHook) {
    THookLink link(ReleaseLibrary(), block_);
    EXPECT_EQ(link.LinkUnhook(), -1) << "no hook installed: true";
    ASSERT_EQ(link.LinkSetHook(), -1);
    EXPECT_NE(link.LinkUnhook(), 0);
    EXPECT_EQ(block_->Hook, 0u);
    EXPECT_EQ(link.LinkUnhook(), -1);
}

TEST_F(HookLinkTest, UnhookOfAStaleHandleFailsAndKeepsIt) {
    THookLink link(ReleaseLibrary(), block_);
    ASSERT_EQ(link.LinkSetHook(), -1);
    const std::uint32_t hook = block_->Hook;
    ASSERT_TRUE(::UnhookWindowsHookEx(HandleFromValue32<HHOOK>(hook)));
    EXPECT_EQ(link.LinkUnhook(), 0);
    EXPECT_EQ(block_->Hook, hook);
    block_->Hook = 0;
}

TEST_F(HookLinkTest, MissingLibraryOrExportFailsQuietly) {
    THookLink missing(ReleaseLibrary() + ".absent", block_);
    EXPECT_EQ(missing.LinkSetHook(), 0);
    EXPECT_EQ(missing.LinkUnhook(), 0);
    // A library that loads but lacks the exports.
    THookLink wrong("version.dll", block_);
    EXPECT_EQ(wrong.LinkSetHook(), 0);
    EXPECT_EQ(wrong.LinkUnhook(), 0);
    EXPECT_EQ(block_->Hook, 0u);
}

TEST_F(HookLinkTest, SendMoveWritesWholeWordsAndNullBlockIsIgnored) {
    THookLink link(ReleaseLibrary(), block_);
    link.SetSendMove();
    EXPECT_EQ(block_->SendMove, -1);
    link.ClearSendMove();
    EXPECT_EQ(block_->SendMove, 0);

    // A duplicate instance's link has no block and must not write any.
    block_->SendMove = -1;
    THookLink duplicate(ReleaseLibrary(), nullptr);
    duplicate.ClearSendMove();
    EXPECT_EQ(block_->SendMove, -1);
}

// The hook procedure run in the resident's own thread, as the system runs it
// for every process of the other bitness: the event's window belongs to
// another thread, the receiver of WM_MOUSEHOOK to this one. A thread hook
// of the test's own sits before the real global hook in the chain and hands
// it the event it wants checked; a real move over a window of this thread
// sets the chain off.
class ResidentThreadHookTest : public HookLinkTest {
protected:
    static inline UINT reply = 0;
    // When set, the answer to right releases.
    static inline std::optional<UINT> releaseReply;
    static inline int received = 0;
    static inline THookLink* unhookOnReceipt = nullptr;
    static inline WPARAM message = 0;
    static inline MOUSEHOOKSTRUCT event{};
    static inline LRESULT chainResult = -1;
    static inline bool chained = false;

    static inline HWND answeredBy = nullptr;

    static LRESULT CALLBACK Receiver(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg != WM_MOUSEHOOK) return ::DefWindowProcA(w, msg, wp, lp);
        ++received;
        answeredBy = w;
        // The resident may remove the hook while answering; the procedure
        // that sent is still below on this stack.
        if (unhookOnReceipt) unhookOnReceipt->LinkUnhook();
        if (releaseReply && HookMessage(static_cast<std::uint32_t>(wp)) == WM_RBUTTONUP) return *releaseReply;
        return reply;
    }
    static LRESULT CALLBACK Forward(int code, WPARAM, LPARAM) {
        if (code < 0 || chained) return 0;
        chained = true;
        chainResult = ::CallNextHookEx(nullptr, code, message, reinterpret_cast<LPARAM>(&event));
        return chainResult;
    }

    void SetUp() override {
        HookLinkTest::SetUp();
        WNDCLASSA wc{};
        wc.lpfnWndProc = &Receiver;
        wc.lpszClassName = "FlickoResidentThreadTest";
        ::RegisterClassA(&wc);
        receiver_ = NewReceiver();
        // Not a static control: those are transparent to the mouse.
        own_ = ::CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "own", WS_POPUP | WS_VISIBLE, 50, 50, 200, 150,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(receiver_ && own_);
        block_->Wnd = HandleToValue32(receiver_);
        // A window of another thread, with a caret of that thread's own.
        other_ = WindowThread(foreign_, [] {
            return ::CreateWindowExA(0, "STATIC", "foreign", WS_POPUP, 300, 300, 100, 100, nullptr, nullptr, nullptr,
                                     nullptr);
        });
        ASSERT_NE(foreign_, nullptr);
        received = 0;
        unhookOnReceipt = nullptr;
        releaseReply.reset();
    }
    void TearDown() override {
        StopBusyResident();
        ::PostThreadMessageA(::GetWindowThreadProcessId(foreign_, nullptr), WM_QUIT, 0, 0);
        if (other_.joinable()) other_.join();
        ::DestroyWindow(own_);
        ::DestroyWindow(receiver_);
        HookLinkTest::TearDown();
    }

    // A thread that makes a window with create, stores it in made and pumps
    // its messages until WM_QUIT; returned once the window is there.
    template <class Create>
    static std::thread WindowThread(HWND& made, Create create) {
        HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::thread t([&made, create, ready] {
            made = create();
            ::SetEvent(ready);
            MSG m;
            while (::GetMessageA(&m, nullptr, 0, 0) > 0) ::DispatchMessageA(&m);
            ::DestroyWindow(made);
        });
        ::WaitForSingleObject(ready, 10000);
        ::CloseHandle(ready);
        return t;
    }

    // A resident that swallows every press and spends busyMs on a move.
    static inline DWORD busyMs = 700;
    static LRESULT CALLBACK BusyOnMoves(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg != WM_MOUSEHOOK) return ::DefWindowProcA(w, msg, wp, lp);
        if (HookMessage(static_cast<std::uint32_t>(wp)) == WM_MOUSEMOVE) ::Sleep(busyMs);
        return kReplySwallow;
    }

    // That resident in a thread of its own, so that it can be busy; the
    // block names it.
    void StartBusyResident(DWORD ms) {
        busyMs = ms;
        resident_ = WindowThread(busy_, [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = &BusyOnMoves;
            wc.lpszClassName = "FlickoBusyResidentTest";
            ::RegisterClassA(&wc);
            return ::CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        });
        ASSERT_NE(busy_, nullptr);
        block_->Wnd = HandleToValue32(busy_);
    }
    void StopBusyResident() {
        if (!resident_.joinable()) return;
        ::PostThreadMessageA(::GetWindowThreadProcessId(busy_, nullptr), WM_QUIT, 0, 0);
        resident_.join();
        block_->SendMove = kSendMoveOff;
        block_->Wnd = HandleToValue32(receiver_);
    }

    static HWND NewReceiver() {
        return ::CreateWindowExA(0, "FlickoResidentThreadTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                 nullptr);
    }

    // Runs the chain once with this message for this window; the result of
    // the global hook, or nullopt when no real move arrived.
    std::optional<LRESULT> Drive(UINT msg, HWND window, POINT screen) {
        message = msg;
        event = MOUSEHOOKSTRUCT{};
        event.pt = screen;
        event.hwnd = window;
        chained = false;
        HHOOK forward = ::SetWindowsHookExA(WH_MOUSE, &Forward, nullptr, ::GetCurrentThreadId());
        RECT r;
        ::GetWindowRect(own_, &r);
        for (int attempt = 0; attempt < 2 && !chained; ++attempt) {
            INPUT in{};
            in.type = INPUT_MOUSE;
            in.mi.dx = ((r.left + 20 + attempt * 7) * 65535) / (::GetSystemMetrics(SM_CXSCREEN) - 1);
            in.mi.dy = ((r.top + 20) * 65535) / (::GetSystemMetrics(SM_CYSCREEN) - 1);
            in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
            ::SendInput(1, &in, sizeof in);
            const DWORD start = ::GetTickCount();
            while (!chained && ::GetTickCount() - start < 3000) {
                MSG m;
                while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            }
        }
        ::UnhookWindowsHookEx(forward);
        if (!chained) return std::nullopt;
        return chainResult;
    }

    HWND receiver_ = nullptr;
    HWND own_ = nullptr;
    HWND foreign_ = nullptr;
    std::thread other_;
    HWND busy_ = nullptr;
    std::thread resident_;
};

TEST_F(ResidentThreadHookTest, RepliesTouchOnlyWindowsOfTheCallingThread) {
    THookLink link(ReleaseLibrary(), block_);
    ASSERT_EQ(link.LinkSetHook(), -1);
    ASSERT_TRUE(::CreateCaret(own_, nullptr, 2, 10));
    ASSERT_TRUE(::SetCaretPos(3, 4));
    reply = kReplySwallow | kReplyCaret | kReplyCapture;

    // Another thread's window: swallowed, but neither this thread's caret
    // nor its capture move, and that thread gets no capture either.
    const std::optional<LRESULT> foreign = Drive(WM_RBUTTONDOWN, foreign_, POINT{330, 340});
    ASSERT_TRUE(foreign.has_value()) << "no real move reached the thread hook";
    EXPECT_EQ(*foreign, 1);
    EXPECT_EQ(received, 1);
    POINT caret{};
    ::GetCaretPos(&caret);
    EXPECT_EQ(caret.x, 3);
    EXPECT_EQ(caret.y, 4);
    EXPECT_EQ(::GetCapture(), nullptr);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(foreign_, nullptr), &info);
    EXPECT_EQ(info.hwndCapture, nullptr);

    // A window of this thread gets both, at the event's client point.
    const std::optional<LRESULT> own = Drive(WM_RBUTTONDOWN, own_, POINT{50 + 17, 50 + 21});
    ASSERT_TRUE(own.has_value());
    EXPECT_EQ(*own, 1);
    ::GetCaretPos(&caret);
    EXPECT_EQ(caret.x, 17);
    EXPECT_EQ(caret.y, 21);
    EXPECT_EQ(::GetCapture(), own_);
    ::ReleaseCapture();
    ::DestroyCaret();
}

TEST_F(ResidentThreadHookTest, TheResidentMayUnhookWhileTheProcedureWaitsForItsAnswer) {
    THookLink link(ReleaseLibrary(), block_);
    ASSERT_EQ(link.LinkSetHook(), -1);
    unhookOnReceipt = &link;
    reply = kReplySwallow;
    // The loader's reference and the hook's both go during the answer; the
    // pinned library is still there when the procedure returns into it.
    const std::optional<LRESULT> result = Drive(WM_RBUTTONDOWN, foreign_, POINT{330, 340});
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, 1);
    EXPECT_EQ(block_->Hook, 0u);
    EXPECT_NE(::GetModuleHandleA("claspm.dll"), nullptr);
}

// The hook keeps one view of the block per process. A resident that ends
// while applications hold it must leave its name and its instance free, and
// the next resident must get the next press.
TEST_F(ResidentThreadHookTest, AResidentStartedAfterAKillGetsTheNextPressAndFindsItsNamesFree) {
    THookLink link(ReleaseLibrary(), block_);
    ASSERT_EQ(link.LinkSetHook(), -1);
    const std::uint32_t hook = block_->Hook;
    TInstanceMarker marker;
    ASSERT_TRUE(marker.Claim());
    reply = 0;
    ASSERT_TRUE(Drive(WM_RBUTTONDOWN, own_, POINT{60, 60}).has_value());
    ASSERT_EQ(answeredBy, receiver_) << "the hook maps its view at this press";

    // Killed: its window and handles go, nothing is written; the hook stays.
    ::DestroyWindow(receiver_);
    receiver_ = nullptr;
    fmo_.CloseFmo();
    block_ = nullptr;
    marker.Release();
    EXPECT_FALSE(ScopedHandle<KernelHandleTraits>(::OpenFileMappingA(FILE_MAP_READ, FALSE, kFmoName)))
        << "the hook's view keeps the block's name";

    TInstanceMarker nextMarker;
    EXPECT_TRUE(nextMarker.Claim()) << "the hook's view keeps the instance";
    TFileMapping next;
    next.CreateFmo();
    EXPECT_FALSE(next.AlreadyExisted());
    TFmoData* nextBlock = next.MapFmo();
    ASSERT_NE(nextBlock, nullptr);
    receiver_ = NewReceiver();
    *nextBlock = TFmoData{HandleToValue32(receiver_), hook, 0};
    reply = kReplySwallow;
    const int before = received;
    const std::optional<LRESULT> result = Drive(WM_RBUTTONDOWN, own_, POINT{60, 60});
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(received, before + 1);
    EXPECT_EQ(answeredBy, receiver_);
    EXPECT_EQ(*result, 1);
    Drive(WM_RBUTTONUP, own_, POINT{60, 60});
    THookLink(ReleaseLibrary(), nextBlock).LinkUnhook();
}

// A resident busy on a slow window lets one move of the drag time out.
// The release of the press it swallowed must not pass to the application
// for that: it was never given the press.
TEST_F(ResidentThreadHookTest, ReleaseOfASwallowedPressIsSwallowedAfterAMoveTimedOut) {
    THookLink link(ReleaseLibrary(), block_);
    ASSERT_EQ(link.LinkSetHook(), -1);
    StartBusyResident(700);

    const std::optional<LRESULT> press = Drive(WM_RBUTTONDOWN, own_, POINT{60, 60});
    block_->SendMove = kSendMoveOn;
    const std::optional<LRESULT> move = Drive(WM_MOUSEMOVE, own_, POINT{60, 80});
    const std::optional<LRESULT> release = Drive(WM_RBUTTONUP, own_, POINT{60, 80});
    StopBusyResident();
    ASSERT_TRUE(press && move && release) << "no real move reached the thread hook";
    EXPECT_EQ(*press, 1);
    EXPECT_EQ(*release, 1) << "the release of a swallowed press reached the application";
}

// A drag that ends over another program: that thread owes no release, but
// its release belongs to the press swallowed elsewhere. It waits the full
// time for the resident, also after a time-out in its process.
TEST_F(ResidentThreadHookTest, DuringADragAReleaseOfAThreadThatOwesNoneWaitsTheFullTime) {
    THookLink link(ReleaseLibrary(), block_);
    ASSERT_EQ(link.LinkSetHook(), -1);
    ASSERT_TRUE(Drive(WM_RBUTTONUP, own_, POINT{60, 60}).has_value()) << "this thread owes a release";
    StartBusyResident(350);
    block_->SendMove = kSendMoveOn;
    const std::optional<LRESULT> move = Drive(WM_MOUSEMOVE, own_, POINT{60, 80});  // times out
    const std::optional<LRESULT> release = Drive(WM_RBUTTONUP, own_, POINT{60, 80});
    StopBusyResident();
    ASSERT_TRUE(move && release) << "no real move reached the thread hook";
    EXPECT_EQ(*release, 1) << "the release got only the short probe";
}

// A resident that no longer knows the press (restarted, disabled) answers
// its release with "pass"; the hook swallowed the press, so it swallows the
// release.
TEST_F(ResidentThreadHookTest, AnOwedReleaseIsSwallowedWhateverTheAnswer) {
    THookLink link(ReleaseLibrary(), block_);
    ASSERT_EQ(link.LinkSetHook(), -1);
    reply = kReplySwallow;
    releaseReply = 0;
    const std::optional<LRESULT> press = Drive(WM_RBUTTONDOWN, own_, POINT{60, 60});
    const std::optional<LRESULT> release = Drive(WM_RBUTTONUP, own_, POINT{60, 60});
    ASSERT_TRUE(press && release) << "no real move reached the thread hook";
    EXPECT_EQ(*press, 1);
    EXPECT_EQ(*release, 1);
}

TEST_F(ResidentThreadHookTest, WheelEventsPassWithoutAMessage) {
    THookLink link(ReleaseLibrary(), block_);
    ASSERT_EQ(link.LinkSetHook(), -1);
    reply = kReplySwallow;
    const std::optional<LRESULT> wheel = Drive(WM_MOUSEWHEEL, own_, POINT{60, 60});
    ASSERT_TRUE(wheel.has_value()) << "no real move reached the thread hook";
    EXPECT_EQ(*wheel, 0);
    EXPECT_EQ(received, 0);
}

}  // namespace
}  // namespace flicko

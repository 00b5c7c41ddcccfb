#include "platform/win32/WindowsInclude.h"

#include "platform/win32/Win32Desktop.h"

#include "platform/WinConst.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/ScopedHandle.h"

#include <mmsystem.h>

namespace flicko {

static_assert(sizeof(Hwnd) == sizeof(HWND));

namespace {

HWND H(Hwnd w) { return reinterpret_cast<HWND>(w); }
Hwnd W(HWND h) { return reinterpret_cast<Hwnd>(h); }

BOOL CALLBACK CollectWindow(HWND h, LPARAM lp) {
    reinterpret_cast<std::vector<Hwnd>*>(lp)->push_back(W(h));
    return TRUE;
}

BOOL CALLBACK CollectProperty(HWND, LPSTR name, HANDLE, ULONG_PTR lp) {
    auto& names = *reinterpret_cast<std::vector<std::string>*>(lp);
    if (IS_INTRESOURCE(name)) {
        // An atom stands in for the name. Properties are named by global
        // atoms, which the process's own table does not know.
        const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(name));
        char buf[255];
        UINT n = ::GetAtomNameA(atom, buf, sizeof buf);
        if (n == 0) n = ::GlobalGetAtomNameA(atom, buf, sizeof buf);
        names.emplace_back(buf, n);
    } else {
        names.emplace_back(name);
    }
    return TRUE;
}

}  // namespace

std::vector<std::string> Win32Desktop::WindowPropertyNames(Hwnd w) {
    std::vector<std::string> names;
    ::EnumPropsExA(H(w), &CollectProperty, reinterpret_cast<LPARAM>(&names));
    return names;
}

Hwnd Win32Desktop::WindowFromPoint(Point p) { return W(::WindowFromPoint(POINT{p.x, p.y})); }
Hwnd Win32Desktop::GetParent(Hwnd w) { return W(::GetParent(H(w))); }
bool Win32Desktop::IsChild(Hwnd parent, Hwnd w) { return ::IsChild(H(parent), H(w)) != FALSE; }
bool Win32Desktop::IsWindow(Hwnd w) { return ::IsWindow(H(w)) != FALSE; }
bool Win32Desktop::IsWindowVisible(Hwnd w) { return ::IsWindowVisible(H(w)) != FALSE; }

std::string Win32Desktop::ClassName(Hwnd w) {
    char buf[256];
    int n = ::GetClassNameA(H(w), buf, sizeof buf);
    return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

bool Win32Desktop::IsDbcsLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

std::string Win32Desktop::WindowText(Hwnd w) {
    char buf[256];
    int n = ::GetWindowTextA(H(w), buf, sizeof buf);
    return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::uint32_t Win32Desktop::WindowProcessId(Hwnd w) {
    DWORD pid = 0;
    if (!::GetWindowThreadProcessId(H(w), &pid)) return 0;
    return pid;
}

bool Win32Desktop::ProcessImageName(std::uint32_t pid, std::string& name) {
    if (pid == 0) return false;
    // Limited query is what a normal process may ask of an elevated one on
    // Vista and later; the elevated one still refuses, and so does a
    // protected one: those, and processes that have ended, never match.
    const ScopedHandle<KernelHandleTraits> process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process) return false;
    // An ended process can still be opened while anyone holds a handle to
    // it (and its id may not be reused yet); its name would describe no
    // window. An exit code of STILL_ACTIVE is also what a process that
    // returned 259 leaves, so the wait state decides where this handle
    // may wait.
    DWORD exitCode = 0;
    if (!::GetExitCodeProcess(process.get(), &exitCode) || exitCode != STILL_ACTIVE) return false;
    const ScopedHandle<KernelHandleTraits> waitable(::OpenProcess(SYNCHRONIZE, FALSE, pid));
    if (waitable && ::WaitForSingleObject(waitable.get(), 0) == WAIT_OBJECT_0) return false;
    char path[MAX_PATH * 2];
    DWORD size = sizeof path;
    if (!::QueryFullProcessImageNameA(process.get(), 0, path, &size)) return false;
    std::size_t start = 0;
    for (DWORD i = 0; i < size; ++i) {
        // In a double-byte code page a trail byte may equal a backslash.
        if (::IsDBCSLeadByte(static_cast<BYTE>(path[i]))) {
            ++i;
            continue;
        }
        if (path[i] == '\\' || path[i] == '/') start = i + 1;
    }
    name.assign(path + start, path + size);
    return true;
}

namespace {

// The integrity level (its relative id) of a process's token; false when
// the token cannot be read.
bool IntegrityLevel(HANDLE process, DWORD& level) {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &raw)) return false;
    const ScopedHandle<KernelHandleTraits> token(raw);
    alignas(TOKEN_MANDATORY_LABEL) unsigned char buf[64];
    DWORD size = 0;
    if (!::GetTokenInformation(token.get(), TokenIntegrityLevel, buf, sizeof buf, &size)) return false;
    PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buf)->Label.Sid;
    const UCHAR count = *::GetSidSubAuthorityCount(sid);
    if (count == 0) return false;
    level = *::GetSidSubAuthority(sid, count - 1);
    return true;
}

}  // namespace

bool Win32Desktop::ProcessRunsHigher(std::uint32_t pid) {
    if (pid == 0 || pid == ::GetCurrentProcessId()) return false;
    const ScopedHandle<KernelHandleTraits> process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    // A process that refuses even the limited query runs above us (or is
    // protected); one that has ended is gone and outranks nobody.
    if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED;
    DWORD theirs = 0, ours = 0;
    if (!IntegrityLevel(process.get(), theirs)) return ::GetLastError() == ERROR_ACCESS_DENIED;
    if (!IntegrityLevel(::GetCurrentProcess(), ours)) return false;
    return theirs > ours;
}

std::uint32_t Win32Desktop::Style(Hwnd w) { return static_cast<std::uint32_t>(::GetWindowLongA(H(w), GWL_STYLE)); }
std::uint32_t Win32Desktop::ExStyle(Hwnd w) {
    return static_cast<std::uint32_t>(::GetWindowLongA(H(w), GWL_EXSTYLE));
}

bool Win32Desktop::GetWindowRect(Hwnd w, Rect& out) {
    RECT r;
    if (!::GetWindowRect(H(w), &r)) return false;
    out = Rect{r.left, r.top, r.right, r.bottom};
    return true;
}

bool Win32Desktop::GetClientRect(Hwnd w, Rect& out) {
    RECT r;
    if (!::GetClientRect(H(w), &r)) return false;
    out = Rect{r.left, r.top, r.right, r.bottom};
    return true;
}

bool Win32Desktop::ScreenToClient(Hwnd w, Point& p) {
    POINT pt{p.x, p.y};
    if (!::ScreenToClient(H(w), &pt)) return false;
    p = Point{pt.x, pt.y};
    return true;
}

bool Win32Desktop::ClientToScreen(Hwnd w, Point& p) {
    POINT pt{p.x, p.y};
    if (!::ClientToScreen(H(w), &pt)) return false;
    p = Point{pt.x, pt.y};
    return true;
}

std::vector<Hwnd> Win32Desktop::ChildWindows(Hwnd parent) {
    std::vector<Hwnd> out;
    // EnumChildWindows with a null parent would enumerate the top-level windows.
    if (parent != kNoWindow) ::EnumChildWindows(H(parent), CollectWindow, reinterpret_cast<LPARAM>(&out));
    return out;
}

std::vector<Hwnd> Win32Desktop::TopLevelWindows() {
    std::vector<Hwnd> out;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&out));
    return out;
}

bool Win32Desktop::GetScrollInfo(Hwnd w, int bar, std::uint32_t mask, ScrollInfo& out) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = mask;
    if (!::GetScrollInfo(H(w), bar, &si)) return false;
    out.nMin = si.nMin;
    out.nMax = si.nMax;
    out.nPage = si.nPage;
    out.nPos = si.nPos;
    out.nTrackPos = si.nTrackPos;
    return true;
}

LResult Win32Desktop::SendMessage(Hwnd w, std::uint32_t msg, WParam wp, LParam lp) {
    return ::SendMessageA(H(w), msg, static_cast<WPARAM>(wp), static_cast<LPARAM>(lp));
}

std::optional<LResult> Win32Desktop::SendMessageTimeout(Hwnd w, std::uint32_t msg, WParam wp, LParam lp,
                                                        std::uint32_t timeoutMs) {
    DWORD_PTR result = 0;
    // Never SMTO_BLOCK: while this thread waits it must go on answering the
    // hook's messages, which the hooked threads send it.
    if (::SendMessageTimeoutA(H(w), msg, static_cast<WPARAM>(wp), static_cast<LPARAM>(lp),
                              SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &result)) {
        return static_cast<LResult>(result);
    }
    // A window that went away is no hang: it answers nothing, like SendMessage.
    if (!::IsWindow(H(w))) return LResult{0};
    return std::nullopt;
}

bool Win32Desktop::PostMessage(Hwnd w, std::uint32_t msg, WParam wp, LParam lp) {
    return ::PostMessageA(H(w), msg, static_cast<WPARAM>(wp), static_cast<LPARAM>(lp)) != FALSE;
}

Hwnd Win32Desktop::SetActiveWindow(Hwnd w) { return W(::SetActiveWindow(H(w))); }
Hwnd Win32Desktop::SetFocus(Hwnd w) { return W(::SetFocus(H(w))); }
bool Win32Desktop::SetForegroundWindow(Hwnd w) { return ::SetForegroundWindow(H(w)) != FALSE; }
bool Win32Desktop::BringWindowToTop(Hwnd w) { return ::BringWindowToTop(H(w)) != FALSE; }
Hwnd Win32Desktop::GetForegroundWindow() { return W(::GetForegroundWindow()); }

void Win32Desktop::KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags, std::uintptr_t extra) {
    ::keybd_event(vk, scan, flags, static_cast<ULONG_PTR>(extra));
}

void Win32Desktop::MouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                              std::uintptr_t extra) {
    ::mouse_event(flags, static_cast<DWORD>(dx), static_cast<DWORD>(dy), static_cast<DWORD>(data),
                  static_cast<ULONG_PTR>(extra));
}

bool Win32Desktop::GetCursorPos(Point& out) {
    POINT pt{0, 0};
    if (!::GetCursorPos(&pt)) return false;
    out = Point{pt.x, pt.y};
    return true;
}

void Win32Desktop::WheelInput(bool horizontal, std::int32_t delta) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.mouseData = static_cast<DWORD>(delta);
    in.mi.dwFlags = horizontal ? MOUSEEVENTF_HWHEEL : MOUSEEVENTF_WHEEL;
    in.mi.dwExtraInfo = static_cast<ULONG_PTR>(kOwnInputMark);
    ::SendInput(1, &in, sizeof in);
}

bool Win32Desktop::GetClipCursor(Rect& out) {
    RECT r;
    if (!::GetClipCursor(&r)) return false;
    out = Rect{r.left, r.top, r.right, r.bottom};
    return true;
}

CursorState Win32Desktop::GetCursorState() {
    // Declared here: the target version hides it.
    constexpr DWORD kCursorSuppressed = 0x00000002;  // CURSOR_SUPPRESSED
    CURSORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetCursorInfo(&info)) return CursorState::Showing;
    // Only the show count: a thread that never set a cursor reports none,
    // and Wine answers for the foreground thread, not the one under the
    // cursor.
    if (info.flags & CURSOR_SHOWING) return CursorState::Showing;
    return (info.flags & kCursorSuppressed) ? CursorState::Suppressed : CursorState::Hidden;
}

bool Win32Desktop::WheelFollowsCursor() {
    constexpr UINT kGetMouseWheelRouting = 0x201C;  // SPI_GETMOUSEWHEELROUTING
    constexpr DWORD kRoutingMousePos = 2;           // MOUSEWHEEL_ROUTING_MOUSE_POS
    DWORD routing = 0;
    return ::SystemParametersInfoA(kGetMouseWheelRouting, 0, &routing, 0) && routing == kRoutingMousePos;
}

std::int16_t Win32Desktop::GetAsyncKeyState(int vk) { return static_cast<std::int16_t>(::GetAsyncKeyState(vk)); }
Millis Win32Desktop::TimeGetTime() { return ::timeGetTime(); }
int Win32Desktop::GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }
std::uint32_t Win32Desktop::GetDoubleClickTime() { return ::GetDoubleClickTime(); }
int Win32Desktop::WindowDpi(Hwnd w) { return ShownDpiOfWindow(H(w)); }

bool Win32Desktop::PhysicalToLogicalPoint(Hwnd w, Point& p) {
    // Windows 8.1 and later; before, a program's points were never scaled
    // per monitor.
    using Fn = BOOL(WINAPI*)(HWND, LPPOINT);
    static const auto convert = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("user32.dll"), "PhysicalToLogicalPointForPerMonitorDPI")));
    POINT pt{p.x, p.y};
    if (!convert || !convert(H(w), &pt)) return false;
    p = Point{pt.x, pt.y};
    return true;
}

}  // namespace flicko

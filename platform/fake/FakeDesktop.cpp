#include "platform/fake/FakeDesktop.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "base/Text.h"
#include "platform/WinConst.h"

namespace flicko {

namespace {

bool SameClass(const std::string& a, const char* b) { return SameText(a, b); }

bool Contains(const Rect& r, Point p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// Highest position a bar can take: the last page must fit into the range.
int MaxPosition(const ScrollInfo& si) {
    return si.nPage > 0 ? si.nMax - static_cast<int>(si.nPage) + 1 : si.nMax;
}

int Clamp(const ScrollInfo& si, long long pos) {
    long long hi = std::max<long long>(si.nMin, MaxPosition(si));
    if (pos > hi) pos = hi;
    if (pos < si.nMin) pos = si.nMin;
    return static_cast<int>(pos);
}

}  // namespace

FakeBehaviour FakeBehaviour::ForClass(const std::string& cls) {
    FakeBehaviour b;
    if (SameClass(cls, "Edit") || SameClass(cls, "RichEdit20A") || SameClass(cls, "RichEdit20W")) {
        b.lineAndThumb = true;
        b.editScroll = true;
        b.wheel = true;
    } else if (SameClass(cls, "ListBox") || SameClass(cls, "ComboLBox")) {
        b.lineAndThumb = true;
        b.wheel = true;
    } else if (SameClass(cls, "SysListView32")) {
        b.lineAndThumb = true;
        b.listViewScroll = true;
        b.wheel = true;
    } else if (SameClass(cls, "ScrollBar")) {
        b.scrollBarControl = true;
    }
    return b;
}

FakeDesktop::FakeDesktop() {
    metrics_[win::SM_CXDOUBLECLK] = 4;
    metrics_[win::SM_CYDOUBLECLK] = 4;
    metrics_[win::SM_CXVIRTUALSCREEN] = 1280;
    metrics_[win::SM_CYVIRTUALSCREEN] = 1024;
    processes_[kDefaultProcess] = Process{"app.exe", true};
}

FakeDesktop::Window* FakeDesktop::Find(Hwnd w) {
    auto it = windows_.find(w);
    return it == windows_.end() ? nullptr : &it->second;
}

const FakeDesktop::Window* FakeDesktop::Find(Hwnd w) const {
    auto it = windows_.find(w);
    return it == windows_.end() ? nullptr : &it->second;
}

Hwnd FakeDesktop::AddWindow(Hwnd parent, const FakeWindowOptions& o) {
    Window win;
    win.handle = nextHandle_;
    nextHandle_ += 4;
    win.parent = Find(parent) ? parent : kNoWindow;
    win.className = o.className;
    win.text = o.text;
    win.style = o.style;
    win.exStyle = o.exStyle;
    win.rect = o.rect;
    win.client = o.client.value_or(o.rect);
    win.behaviour = o.behaviour.value_or(FakeBehaviour::ForClass(o.className));
    win.process = o.process;
    if (win.process == 0) win.process = win.parent != kNoWindow ? Find(win.parent)->process : kDefaultProcess;
    if (win.parent != kNoWindow) {
        win.style |= win::WS_CHILD;
        Find(win.parent)->children.push_back(win.handle);
    } else {
        topLevels_.push_back(win.handle);
    }
    windows_[win.handle] = win;
    return win.handle;
}

void FakeDesktop::DestroyWindow(Hwnd w) {
    Window* win = Find(w);
    if (!win) return;
    for (Hwnd c : std::vector<Hwnd>(win->children)) DestroyWindow(c);
    if (Window* p = Find(win->parent)) {
        std::erase(p->children, w);
    } else {
        std::erase(topLevels_, w);
    }
    windows_.erase(w);
}

void FakeDesktop::SetScrollBar(Hwnd w, int bar, int nMin, int nMax, unsigned nPage, int nPos) {
    Window* win = Find(w);
    if (!win || bar < 0 || bar > 2) return;
    ScrollInfo si;
    si.nMin = nMin;
    si.nMax = nMax;
    si.nPage = nPage;
    si.nPos = nPos;
    si.nTrackPos = nPos;
    win->bars[bar] = si;
}

void FakeDesktop::RemoveScrollBar(Hwnd w, int bar) {
    if (Window* win = Find(w); win && bar >= 0 && bar <= 2) win->bars[bar].reset();
}

void FakeDesktop::SetBehaviour(Hwnd w, const FakeBehaviour& b) {
    if (Window* win = Find(w)) win->behaviour = b;
}
void FakeDesktop::SetText(Hwnd w, const std::string& text) {
    if (Window* win = Find(w)) win->text = text;
}
void FakeDesktop::SetClassName(Hwnd w, const std::string& cls) {
    if (Window* win = Find(w)) win->className = cls;
}
void FakeDesktop::SetStyle(Hwnd w, std::uint32_t style) {
    if (Window* win = Find(w)) win->style = style;
}
void FakeDesktop::SetVisible(Hwnd w, bool visible) {
    if (Window* win = Find(w)) {
        win->style = visible ? (win->style | win::WS_VISIBLE) : (win->style & ~win::WS_VISIBLE);
    }
}
void FakeDesktop::MoveWindow(Hwnd w, Rect rect, std::optional<Rect> client) {
    if (Window* win = Find(w)) {
        win->rect = rect;
        win->client = client.value_or(rect);
    }
}

std::uint32_t FakeDesktop::AddProcess(const std::string& imageName, bool canOpen) {
    const std::uint32_t pid = nextProcess_;
    nextProcess_ += 4;
    processes_[pid] = Process{imageName, canOpen};
    return pid;
}

void FakeDesktop::EndProcess(std::uint32_t pid) { processes_.erase(pid); }

std::uint32_t FakeDesktop::WindowProcessId(Hwnd w) {
    const Window* win = Find(w);
    return win ? win->process : 0;
}

bool FakeDesktop::ProcessImageName(std::uint32_t pid, std::string& name) {
    ++imageNameQueries_;
    auto it = processes_.find(pid);
    if (it == processes_.end() || !it->second.canOpen) return false;
    name = it->second.imageName;
    return true;
}

bool FakeDesktop::ProcessRunsHigher(std::uint32_t pid) {
    auto it = processes_.find(pid);
    return it != processes_.end() && it->second.higher;
}

std::vector<FakeRecord> FakeDesktop::SentTo(Hwnd w) const {
    std::vector<FakeRecord> out;
    for (const auto& r : records_) {
        if (r.kind == FakeRecord::Kind::Send && r.window == w) out.push_back(r);
    }
    return out;
}

int FakeDesktop::CountSent(Hwnd w, std::uint32_t msg, std::optional<std::uint16_t> lowWord) const {
    int n = 0;
    for (const auto& r : records_) {
        if (r.kind != FakeRecord::Kind::Send || r.window != w || r.msg != msg) continue;
        if (lowWord && win::LoWord(static_cast<std::uint32_t>(r.wp)) != *lowWord) continue;
        ++n;
    }
    return n;
}

std::vector<FakeRecord> FakeDesktop::Inputs() const {
    std::vector<FakeRecord> out;
    for (const auto& r : records_) {
        if (r.kind == FakeRecord::Kind::Key || r.kind == FakeRecord::Kind::Mouse) out.push_back(r);
    }
    return out;
}

std::optional<ScrollInfo> FakeDesktop::Bar(Hwnd w, int bar) const {
    const Window* win = Find(w);
    if (!win || bar < 0 || bar > 2) return std::nullopt;
    return win->bars[bar];
}

int FakeDesktop::Position(Hwnd w, int bar) const {
    auto b = Bar(w, bar);
    return b ? b->nPos : INT_MIN;
}

bool FakeDesktop::IsWindowVisible(Hwnd w) {
    // Visible only when the window and all its ancestors carry WS_VISIBLE.
    for (const Window* win = Find(w); win; win = Find(win->parent)) {
        if (!(win->style & win::WS_VISIBLE)) return false;
        if (win->parent == kNoWindow) return true;
    }
    return false;
}

Hwnd FakeDesktop::Deepest(Hwnd w, Point p) {
    const Window* win = Find(w);
    for (Hwnd c : win->children) {
        const Window* cw = Find(c);
        if ((cw->style & win::WS_VISIBLE) && Contains(cw->rect, p)) return Deepest(c, p);
    }
    return w;
}

Hwnd FakeDesktop::WindowFromPoint(Point p) {
    for (Hwnd t : topLevels_) {
        const Window* win = Find(t);
        if ((win->style & win::WS_VISIBLE) && Contains(win->rect, p)) return Deepest(t, p);
    }
    return kNoWindow;
}

Hwnd FakeDesktop::GetParent(Hwnd w) {
    const Window* win = Find(w);
    return win ? win->parent : kNoWindow;
}

bool FakeDesktop::IsChild(Hwnd parent, Hwnd w) {
    if (!Find(parent)) return false;
    for (const Window* win = Find(w); win && win->parent != kNoWindow; win = Find(win->parent)) {
        if (win->parent == parent) return true;
    }
    return false;
}

bool FakeDesktop::IsWindow(Hwnd w) { return Find(w) != nullptr; }

std::string FakeDesktop::ClassName(Hwnd w) {
    const Window* win = Find(w);
    return win ? win->className.substr(0, 255) : std::string();
}

void FakeDesktop::SetPropertyNames(Hwnd w, std::vector<std::string> names) {
    if (Window* win = Find(w)) win->properties = std::move(names);
}

std::vector<std::string> FakeDesktop::WindowPropertyNames(Hwnd w) {
    const Window* win = Find(w);
    return win ? win->properties : std::vector<std::string>{};
}

std::string FakeDesktop::WindowText(Hwnd w) {
    const Window* win = Find(w);
    return win ? win->text.substr(0, 255) : std::string();
}

std::uint32_t FakeDesktop::Style(Hwnd w) {
    const Window* win = Find(w);
    return win ? win->style : 0;
}

std::uint32_t FakeDesktop::ExStyle(Hwnd w) {
    const Window* win = Find(w);
    return win ? win->exStyle : 0;
}

bool FakeDesktop::GetWindowRect(Hwnd w, Rect& out) {
    const Window* win = Find(w);
    if (!win) return false;
    out = win->rect;
    return true;
}

bool FakeDesktop::GetClientRect(Hwnd w, Rect& out) {
    const Window* win = Find(w);
    if (!win) return false;
    out = Rect{0, 0, win->client.Width(), win->client.Height()};
    return true;
}

bool FakeDesktop::ScreenToClient(Hwnd w, Point& p) {
    const Window* win = Find(w);
    if (!win) return false;
    p.x -= win->client.left;
    p.y -= win->client.top;
    return true;
}

bool FakeDesktop::ClientToScreen(Hwnd w, Point& p) {
    const Window* win = Find(w);
    if (!win) return false;
    p.x += win->client.left;
    p.y += win->client.top;
    return true;
}

void FakeDesktop::AppendDescendants(Hwnd w, std::vector<Hwnd>& out) {
    for (Hwnd c : Find(w)->children) {
        out.push_back(c);
        AppendDescendants(c, out);
    }
}

std::vector<Hwnd> FakeDesktop::ChildWindows(Hwnd parent) {
    std::vector<Hwnd> out;
    if (Find(parent)) AppendDescendants(parent, out);
    return out;
}

std::vector<Hwnd> FakeDesktop::TopLevelWindows() { return topLevels_; }

bool FakeDesktop::GetScrollInfo(Hwnd w, int bar, std::uint32_t mask, ScrollInfo& out) {
    const Window* win = Find(w);
    if (!win || bar < 0 || bar > 2 || !win->bars[bar]) return false;
    if ((mask & (win::SIF_RANGE | win::SIF_PAGE | win::SIF_POS | win::SIF_TRACKPOS)) == 0) return false;
    const ScrollInfo& si = *win->bars[bar];
    if (mask & win::SIF_RANGE) {
        out.nMin = si.nMin;
        out.nMax = si.nMax;
    }
    if (mask & win::SIF_PAGE) out.nPage = si.nPage;
    if (mask & win::SIF_POS) out.nPos = si.nPos;
    if (mask & win::SIF_TRACKPOS) out.nTrackPos = si.nTrackPos;
    return true;
}

void FakeDesktop::Record(FakeRecord r) {
    r.time = now_;
    records_.push_back(std::move(r));
}

LResult FakeDesktop::SendMessage(Hwnd w, std::uint32_t msg, WParam wp, LParam lp) {
    return SendMessageTimeout(w, msg, wp, lp, 0).value_or(0);
}

std::optional<LResult> FakeDesktop::SendMessageTimeout(Hwnd w, std::uint32_t msg, WParam wp, LParam lp,
                                                       std::uint32_t) {
    const auto hung = hung_.find(w);
    const bool answers = hung == hung_.end() || !hung->second;
    Window* win = Find(w);
    Record(FakeRecord{FakeRecord::Kind::Send, w, msg, wp, lp, win != nullptr && answers, {}, 0});
    if (OnSend) {
        // The callback may deliver a further message to the waiting thread;
        // it sees the record as it stood, and may replace itself.
        const FakeRecord r = records_.back();
        const auto callback = OnSend;
        callback(r);
    }
    if (!win) return LResult{0};
    if (!answers) return std::nullopt;
    // The callback may have destroyed the window.
    win = Find(w);
    if (!win) return LResult{0};
    return Deliver(*win, msg, wp, lp);
}

bool FakeDesktop::PostMessage(Hwnd w, std::uint32_t msg, WParam wp, LParam lp) {
    // PostMessage to no window posts to the thread; a destroyed window fails.
    bool ok = w == kNoWindow || Find(w) != nullptr;
    Record(FakeRecord{FakeRecord::Kind::Post, w, msg, wp, lp, ok, {}, 0});
    return ok;
}

LResult FakeDesktop::Deliver(Window& win, std::uint32_t msg, WParam wp, LParam lp) {
    const FakeBehaviour& b = win.behaviour;
    const std::uint32_t lo = win::LoWord(static_cast<std::uint32_t>(wp));
    const std::int16_t hi = static_cast<std::int16_t>(win::HiWord(static_cast<std::uint32_t>(wp)));

    if ((msg == win::WM_HSCROLL || msg == win::WM_VSCROLL) && b.lineAndThumb) {
        // A request from a scroll-bar control (lParam names it) moves that
        // control; otherwise the window's own bar of the message's axis.
        Hwnd barWindow = static_cast<Hwnd>(lp);
        Window* target = &win;
        int bar = msg == win::WM_HSCROLL ? win::SB_HORZ : win::SB_VERT;
        if (barWindow != kNoWindow && Find(barWindow) && Find(barWindow)->bars[win::SB_CTL]) {
            target = Find(barWindow);
            bar = win::SB_CTL;
        }
        auto& si = target->bars[bar];
        if (!si) return 0;
        long long pos = si->nPos;
        long long page = std::max<unsigned>(si->nPage, 1);
        switch (lo) {
        case win::SB_LINEUP: pos -= 1; break;
        case win::SB_LINEDOWN: pos += 1; break;
        case win::SB_PAGEUP: pos -= page; break;
        case win::SB_PAGEDOWN: pos += page; break;
        case win::SB_THUMBPOSITION:
        case win::SB_THUMBTRACK: pos = static_cast<std::uint16_t>(hi); break;
        case win::SB_TOP: pos = si->nMin; break;
        case win::SB_BOTTOM: pos = si->nMax; break;
        default: return 0;
        }
        si->nPos = Clamp(*si, pos);
        si->nTrackPos = si->nPos;
        return 0;
    }
    if (msg == win::EM_SCROLL && b.editScroll) {
        auto& si = win.bars[win::SB_VERT];
        if (!si) return 0;
        int before = si->nPos;
        long long page = std::max<unsigned>(si->nPage, 1);
        long long pos = si->nPos;
        switch (wp) {
        case win::SB_LINEUP: pos -= 1; break;
        case win::SB_LINEDOWN: pos += 1; break;
        case win::SB_PAGEUP: pos -= page; break;
        case win::SB_PAGEDOWN: pos += page; break;
        default: return 0;
        }
        si->nPos = Clamp(*si, pos);
        return static_cast<LResult>(win::MakeLong(si->nPos - before, 1));
    }
    if (msg == win::LVM_SCROLL && b.listViewScroll) {
        // Report view: vertical scrolling is by whole lines, the pixel count
        // rounded to the nearest line; horizontal scrolling is by pixels.
        const int dx = static_cast<int>(static_cast<std::intptr_t>(wp));
        const int dy = static_cast<int>(lp);
        if (auto& h = win.bars[win::SB_HORZ]) h->nPos = Clamp(*h, static_cast<long long>(h->nPos) + dx);
        if (auto& v = win.bars[win::SB_VERT]) {
            const int lines = static_cast<int>(std::lround(static_cast<double>(dy) / std::max(1, b.linePixels)));
            v->nPos = Clamp(*v, static_cast<long long>(v->nPos) + lines);
        }
        return 1;
    }
    if (msg == win::WM_MOUSEWHEEL) {
        if (!b.wheel) {
            // DefWindowProc hands an unhandled wheel message to the parent.
            if (Window* p = Find(win.parent)) return Deliver(*p, msg, wp, lp);
            return 0;
        }
        auto& si = win.bars[win::SB_VERT];
        if (!si) return 0;
        // A toolkit that reads each message as whole notches drops the rest.
        win.wheelRemainder = b.wheelDropsRemainder ? hi : win.wheelRemainder + hi;
        const int notches = win.wheelRemainder / static_cast<int>(win::WHEEL_DELTA);
        win.wheelRemainder -= notches * static_cast<int>(win::WHEEL_DELTA);
        si->nPos = Clamp(*si, static_cast<long long>(si->nPos) - static_cast<long long>(notches) * b.wheelLines);
        return 0;
    }
    if (msg == win::SBM_SETPOS && b.scrollBarControl) {
        auto& si = win.bars[win::SB_CTL];
        if (!si) return 0;
        const int before = si->nPos;
        si->nPos = Clamp(*si, static_cast<int>(wp));
        return before;
    }
    if (msg == win::SBM_GETPOS && b.scrollBarControl) {
        auto& si = win.bars[win::SB_CTL];
        return si ? si->nPos : 0;
    }
    return 0;
}

Hwnd FakeDesktop::RecordCall(const char* name, Hwnd w) {
    bool ok = Find(w) != nullptr;
    Record(FakeRecord{FakeRecord::Kind::Call, w, 0, 0, 0, ok, name, 0});
    return ok ? w : kNoWindow;
}

Hwnd FakeDesktop::SetActiveWindow(Hwnd w) { return RecordCall("SetActiveWindow", w); }
Hwnd FakeDesktop::SetFocus(Hwnd w) { return RecordCall("SetFocus", w); }
bool FakeDesktop::SetForegroundWindow(Hwnd w) {
    if (RecordCall("SetForegroundWindow", w) == kNoWindow) return false;
    foreground_ = w;
    return true;
}
bool FakeDesktop::BringWindowToTop(Hwnd w) { return RecordCall("BringWindowToTop", w) != kNoWindow; }

void FakeDesktop::KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags, std::uintptr_t extra) {
    Record(FakeRecord{FakeRecord::Kind::Key, kNoWindow, flags, vk, static_cast<LParam>(scan), true, {}, 0});
    (void)extra;
}

void FakeDesktop::MouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                             std::uintptr_t extra) {
    Record(FakeRecord{FakeRecord::Kind::Mouse, kNoWindow, flags, static_cast<WParam>(data),
                      static_cast<LParam>(win::MakeLong(dx, dy)), true, {}, 0});
    (void)extra;
}

void FakeDesktop::WheelInput(bool horizontal, std::int32_t delta) {
    // Real input reaches the window under the cursor through its queue.
    const Hwnd under = WindowFromPoint(cursor_);
    const std::uint32_t flags = horizontal ? win::MOUSEEVENTF_HWHEEL : win::MOUSEEVENTF_WHEEL;
    Record(FakeRecord{FakeRecord::Kind::Mouse, under, flags, static_cast<WParam>(static_cast<std::intptr_t>(delta)),
                      static_cast<LParam>(win::MakeLong(cursor_.x, cursor_.y)), under != kNoWindow, {}, 0});
    Window* win = Find(under);
    if (win && !horizontal) {
        Deliver(*win, win::WM_MOUSEWHEEL, win::MakeLong(0, delta), static_cast<LParam>(win::MakeLong(cursor_.x, cursor_.y)));
    }
}

bool FakeDesktop::GetClipCursor(Rect& out) {
    out = clip_.value_or(Rect{GetSystemMetrics(win::SM_XVIRTUALSCREEN), GetSystemMetrics(win::SM_YVIRTUALSCREEN),
                              GetSystemMetrics(win::SM_XVIRTUALSCREEN) + GetSystemMetrics(win::SM_CXVIRTUALSCREEN),
                              GetSystemMetrics(win::SM_YVIRTUALSCREEN) + GetSystemMetrics(win::SM_CYVIRTUALSCREEN)});
    return true;
}

std::int16_t FakeDesktop::GetAsyncKeyState(int vk) {
    auto it = keysDown_.find(vk);
    return (it != keysDown_.end() && it->second) ? static_cast<std::int16_t>(0x8000) : 0;
}

int FakeDesktop::GetSystemMetrics(int index) {
    auto it = metrics_.find(index);
    return it == metrics_.end() ? 0 : it->second;
}

void FakeDesktop::SetWindowDpi(Hwnd w, int dpi) {
    if (Window* win = Find(w)) win->dpi = dpi;
}

void FakeDesktop::SetLogicalDpi(Hwnd w, int dpi) {
    if (Window* win = Find(w)) win->logicalDpi = dpi;
}

bool FakeDesktop::PhysicalToLogicalPoint(Hwnd w, Point& p) {
    const Window* win = Find(w);
    if (!win) return false;
    // The program's awareness is its top-level window's.
    while (win->logicalDpi == 0 && win->parent != kNoWindow) win = Find(win->parent);
    const int shown = WindowDpi(w);
    if (win->logicalDpi == 0 || shown == 0) return true;
    const auto scale = [&](std::int32_t v) {
        return static_cast<std::int32_t>(std::lround(static_cast<double>(v) * win->logicalDpi / shown));
    };
    p = Point{scale(p.x), scale(p.y)};
    return true;
}

int FakeDesktop::WindowDpi(Hwnd w) {
    const Window* win = Find(w);
    if (!win) return 0;
    // A child window is shown at the scale of its top-level window.
    const Window* top = win;
    while (top->dpi == 0 && top->parent != kNoWindow) top = Find(top->parent);
    if (top->dpi != 0) return top->dpi;
    std::int64_t most = 0;
    int dpi = systemDpi_;
    for (const Monitor& m : monitors_) {
        const std::int64_t w = std::max(0, std::min(top->rect.right, m.rect.right) - std::max(top->rect.left, m.rect.left));
        const std::int64_t h = std::max(0, std::min(top->rect.bottom, m.rect.bottom) - std::max(top->rect.top, m.rect.top));
        if (w * h > most) {
            most = w * h;
            dpi = m.dpi;
        }
    }
    return dpi;
}

}  // namespace flicko

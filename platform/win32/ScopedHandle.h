// Owning wrappers for the system's handles: one template, one small traits
// struct per kind of handle. A traits struct names the handle type, the value
// that means "none" and the call that releases one; the template does the
// rest, the same way for every kind.
//
// Releasing keeps the thread's last-error value: a destructor that runs
// between a failing call and the caller's GetLastError must not replace the
// reason with its own.
//
// Header-only and free of the C runtime: the hook library uses it too.
#pragma once

#include "platform/win32/WindowsInclude.h"

namespace flicko {

// Puts the thread's last-error value back when it goes out of scope.
class LastErrorKeeper {
public:
    LastErrorKeeper() : saved_(::GetLastError()) {}
    ~LastErrorKeeper() { ::SetLastError(saved_); }
    LastErrorKeeper(const LastErrorKeeper&) = delete;
    LastErrorKeeper& operator=(const LastErrorKeeper&) = delete;

private:
    DWORD saved_;
};

template <typename Traits>
class ScopedHandle {
public:
    using handle_type = typename Traits::handle_type;

    ScopedHandle() : handle_(Traits::GetInvalid()) {}
    explicit ScopedHandle(handle_type handle) : handle_(handle) {}
    ScopedHandle(ScopedHandle&& other) : handle_(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) {
        reset(other.release());
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() { Close(handle_); }

    handle_type get() const { return handle_; }
    explicit operator bool() const { return Traits::IsValid(handle_); }

    // Gives up ownership without releasing.
    handle_type release() {
        const handle_type handle = handle_;
        handle_ = Traits::GetInvalid();
        return handle;
    }
    // Releases the held handle (if any) and takes handle.
    void reset(handle_type handle = Traits::GetInvalid()) {
        const handle_type old = handle_;
        handle_ = handle;
        if (old != handle) Close(old);
    }

private:
    static void Close(handle_type handle) {
        if (!Traits::IsValid(handle)) return;
        LastErrorKeeper keep;
        Traits::Close(handle);
    }

    handle_type handle_;
};

// Kernel objects whose failure value is null: mappings, processes, threads,
// events. Either null or INVALID_HANDLE_VALUE counts as no handle, so a
// handle of either family of calls can be kept here.
struct KernelHandleTraits {
    using handle_type = HANDLE;
    static handle_type GetInvalid() { return nullptr; }
    static bool IsValid(handle_type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(handle_type h) { ::CloseHandle(h); }
};

// A view of a file mapping, typed as what the block holds.
template <typename T>
struct MappedViewTraits {
    using handle_type = T*;
    static handle_type GetInvalid() { return nullptr; }
    static bool IsValid(handle_type view) { return view != nullptr; }
    static void Close(handle_type view) { ::UnmapViewOfFile(view); }
};

// A library loaded with LoadLibrary (not one from GetModuleHandle).
struct ModuleTraits {
    using handle_type = HMODULE;
    static handle_type GetInvalid() { return nullptr; }
    static bool IsValid(handle_type h) { return h != nullptr; }
    static void Close(handle_type h) { ::FreeLibrary(h); }
};

// An icon this program created (CreateIcon*, LoadImage without LR_SHARED).
// Shared icons (LoadIcon, LR_SHARED) belong to the system and must never
// be destroyed: never keep one of those here.
struct OwnedIconTraits {
    using handle_type = HICON;
    static handle_type GetInvalid() { return nullptr; }
    static bool IsValid(handle_type h) { return h != nullptr; }
    static void Close(handle_type h) { ::DestroyIcon(h); }
};

// A window this program created and still owns; released on the thread
// that created it (the system refuses DestroyWindow from any other).
struct WindowTraits {
    using handle_type = HWND;
    static handle_type GetInvalid() { return nullptr; }
    static bool IsValid(handle_type h) { return h != nullptr; }
    static void Close(handle_type h) { ::DestroyWindow(h); }
};

// A menu not attached to a window (a window destroys its own menu bar).
// FindFirstChangeNotification: INVALID_HANDLE_VALUE when it failed.
struct ChangeNotificationTraits {
    using handle_type = HANDLE;
    static handle_type GetInvalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(handle_type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(handle_type h) { ::FindCloseChangeNotification(h); }
};

struct MenuTraits {
    using handle_type = HMENU;
    static handle_type GetInvalid() { return nullptr; }
    static bool IsValid(handle_type h) { return h != nullptr; }
    static void Close(handle_type h) { ::DestroyMenu(h); }
};

// Global memory (GlobalAlloc), until something that takes it over (the
// clipboard) is handed it with release().
struct GlobalMemoryTraits {
    using handle_type = HGLOBAL;
    static handle_type GetInvalid() { return nullptr; }
    static bool IsValid(handle_type h) { return h != nullptr; }
    static void Close(handle_type h) { ::GlobalFree(h); }
};

// A GDI object this program created; selected into no device context when
// released. Fonts get their own name because they are the common case.
template <typename H>
struct GdiObjectTraitsOf {
    using handle_type = H;
    static handle_type GetInvalid() { return nullptr; }
    static bool IsValid(handle_type h) { return h != nullptr; }
    static void Close(handle_type h) { ::DeleteObject(h); }
};
using GdiObjectTraits = GdiObjectTraitsOf<HGDIOBJ>;
using FontTraits = GdiObjectTraitsOf<HFONT>;

// A device context from GetDC or GetDCEx: it goes back to the window it
// came from (null: the screen). Read the context as get().dc.
struct WindowDc {
    HWND window = nullptr;
    HDC dc = nullptr;
    bool operator==(const WindowDc&) const = default;
};
struct WindowDcTraits {
    using handle_type = WindowDc;
    static handle_type GetInvalid() { return {}; }
    static bool IsValid(handle_type h) { return h.dc != nullptr; }
    static void Close(handle_type h) { ::ReleaseDC(h.window, h.dc); }
};
using ScopedWindowDc = ScopedHandle<WindowDcTraits>;

// One reference to a COM interface (the shell's link object and the like);
// fill it through Out() from CoCreateInstance or QueryInterface.
template <typename I>
struct ComTraits {
    using handle_type = I*;
    static handle_type GetInvalid() { return nullptr; }
    static bool IsValid(handle_type p) { return p != nullptr; }
    static void Close(handle_type p) { p->Release(); }
};

}  // namespace flicko

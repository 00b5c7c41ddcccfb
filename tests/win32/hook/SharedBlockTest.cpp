#include "platform/win32/WindowsInclude.h"

#include "hook/loader/InstanceMarker.h"
#include "hook/loader/SharedBlock.h"
#include "platform/win32/ScopedHandle.h"

#include <string>

#include <gtest/gtest.h>

namespace flicko {
namespace {

TEST(SharedBlock, FirstCreatorOwnsItAndASecondOneSeesItExists) {
    TFileMapping first;
    EXPECT_NE(first.CreateFmo(), TFileMapping::kErrorAlreadyExists);
    EXPECT_FALSE(first.AlreadyExisted());
    TFmoData* a = first.MapFmo();
    ASSERT_NE(a, nullptr);
    a->Wnd = 0x1234;
    a->Hook = 0;
    a->SendMove = kSendMoveOn;

    TFileMapping second;
    EXPECT_EQ(second.CreateFmo(), TFileMapping::kErrorAlreadyExists);
    EXPECT_TRUE(second.AlreadyExisted());
    TFmoData* b = second.MapFmo();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Wnd, 0x1234u) << "both views show the same block";
    EXPECT_EQ(b->SendMove, -1);
    second.CloseFmo();
    EXPECT_EQ(a->Wnd, 0x1234u) << "closing the duplicate leaves the owner's block alone";
}

TEST(SharedBlock, HookSideOpensItByNameWhileTheOwnerLives) {
    {
        TFileMapping owner;
        owner.CreateFmo();
        ASSERT_NE(owner.MapFmo(), nullptr);
        const ScopedHandle<KernelHandleTraits> h(::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kFmoName));
        ASSERT_TRUE(h);
    }
    EXPECT_FALSE(ScopedHandle<KernelHandleTraits>(::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kFmoName)))
        << "the block ends with its owner";
}

TEST(SharedBlock, CloseKeepsTheLastErrorValue) {
    TFileMapping m;
    m.CreateFmo();
    m.MapFmo();
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    m.CloseFmo();
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(m.Data(), nullptr);
}

TEST(InstanceMarker, ASecondResidentIsRefusedWhileTheFirstRunsAndTheNextIsNotAfterIt) {
    TInstanceMarker first;
    EXPECT_TRUE(first.Claim());
    TInstanceMarker second;
    EXPECT_FALSE(second.Claim());
    second.Release();
    first.Release();
    TInstanceMarker next;
    EXPECT_TRUE(next.Claim());
}

// A resident from before the marker knows only the block: its block is a
// running instance while its window lives.
TEST(InstanceMarker, ABlockMarksARunningResidentOnlyWhileItsWindowLives) {
    // The resident's tests may have registered the class in this process.
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    const bool ownClass = !::GetClassInfoA(instance, kResidentClass, &wc);
    if (ownClass) {
        wc = WNDCLASSA{};
        wc.lpfnWndProc = &::DefWindowProcA;
        wc.hInstance = instance;
        wc.lpszClassName = kResidentClass;
        ASSERT_TRUE(::RegisterClassA(&wc));
    }
    HWND older = ::CreateWindowExA(0, kResidentClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    ASSERT_TRUE(older);
    TFmoData block{HandleToValue32(older), 0, 0};
    EXPECT_TRUE(BlockOwnerRuns(&block));
    EXPECT_TRUE(AnotherResidentRuns(false, true, &block, 0));
    ::DestroyWindow(older);
    EXPECT_FALSE(BlockOwnerRuns(&block)) << "an ended resident's block";
    if (ownClass) ::UnregisterClassA(kResidentClass, instance);
}

// Another program may hold an object of the marker's name; only a block
// that names a running resident makes a start the second one.
TEST(InstanceMarker, AMarkerHeldByAnotherProgramDoesNotRefuseTheStart) {
    const ScopedHandle<KernelHandleTraits> foreign(::CreateMutexA(nullptr, TRUE, kInstanceName));
    TInstanceMarker marker;
    ASSERT_FALSE(marker.Claim());
    TFileMapping fmo;
    fmo.CreateFmo();
    EXPECT_FALSE(AnotherResidentRuns(false, fmo.AlreadyExisted(), fmo.MapFmo()));
}

std::string ReleaseDir() {
    char path[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1) + "release\\";
}

TEST(HookLibrary, LoadsAndExportsBothFunctionsByPlainName) {
    const ScopedHandle<ModuleTraits> lib(::LoadLibraryA((ReleaseDir() + "claspm.dll").c_str()));
    ASSERT_TRUE(lib) << "claspm.dll next to the programs";
    EXPECT_NE(reinterpret_cast<void*>(::GetProcAddress(lib.get(), "SetClaspMouseProc")), nullptr);
    EXPECT_NE(reinterpret_cast<void*>(::GetProcAddress(lib.get(), "UnclaspMouseProc")), nullptr);
}

}  // namespace
}  // namespace flicko

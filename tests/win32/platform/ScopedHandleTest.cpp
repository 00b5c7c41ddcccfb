#include "platform/win32/WindowsInclude.h"

#include "platform/win32/ScopedHandle.h"

#include <gtest/gtest.h>

namespace flicko {
namespace {

bool IsOpen(HANDLE h) {
    DWORD flags = 0;
    return ::GetHandleInformation(h, &flags) != FALSE;
}

HANDLE NewEvent() { return ::CreateEventA(nullptr, TRUE, FALSE, nullptr); }

TEST(ScopedHandle, ClosesOnceAtTheEndOfItsScope) {
    HANDLE raw = NewEvent();
    ASSERT_TRUE(IsOpen(raw));
    { ScopedHandle<KernelHandleTraits> owner(raw); }
    EXPECT_FALSE(IsOpen(raw));
}

TEST(ScopedHandle, ClosingKeepsTheLastErrorOfTheFailureBeforeIt) {
    ScopedHandle<KernelHandleTraits> owner(NewEvent());
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    owner.reset();
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(ScopedHandle, AFailingCloseKeepsTheLastErrorToo) {
    // Not a handle of this process: CloseHandle fails and sets its own error.
    ScopedHandle<KernelHandleTraits> owner(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(0x7ff0)));
    ::SetLastError(ERROR_ACCESS_DENIED);
    owner.reset();
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(ScopedHandle, ReleaseGivesUpOwnershipAndMoveHandsItOn) {
    HANDLE raw = NewEvent();
    {
        ScopedHandle<KernelHandleTraits> first(raw);
        ScopedHandle<KernelHandleTraits> second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.get(), raw);
        EXPECT_EQ(second.release(), raw);
    }
    EXPECT_TRUE(IsOpen(raw)) << "released: nobody closed it";
    ScopedHandle<KernelHandleTraits> last(raw);
}

TEST(ScopedHandle, NullAndInvalidHandleValueAreNoKernelHandle) {
    EXPECT_FALSE(ScopedHandle<KernelHandleTraits>(nullptr));
    EXPECT_FALSE(ScopedHandle<KernelHandleTraits>(INVALID_HANDLE_VALUE));
}

}  // namespace
}  // namespace flicko

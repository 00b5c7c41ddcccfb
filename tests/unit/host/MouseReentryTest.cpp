#include "host/core/MouseReentry.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/WinConst.h"

namespace flicko {
namespace {

std::vector<std::uint32_t> Drain(TMouseReentry& r) {
    std::vector<std::uint32_t> out;
    while (auto m = r.TakeDeferred()) out.push_back(*m);
    return out;
}

TEST(MouseReentryTest, BusyOnlyWhileAnEntryLives) {
    TMouseReentry r;
    EXPECT_FALSE(r.Busy());
    {
        TMouseReentry::TEntry outer(r);
        {
            TMouseReentry::TEntry inner(r);
            EXPECT_TRUE(r.Busy());
        }
        EXPECT_TRUE(r.Busy());
    }
    EXPECT_FALSE(r.Busy());
}

TEST(MouseReentryTest, MovesAndPressesAreAnsweredAndForgotten) {
    TMouseReentry r;
    TMouseReentry::TEntry busy(r);
    EXPECT_EQ(r.NestedReply(win::WM_MOUSEMOVE, true), 0u);
    EXPECT_EQ(r.NestedReply(win::WM_NCMOUSEMOVE, true), 0u);
    // A right press passes to its window; it must never start a drag later.
    EXPECT_EQ(r.NestedReply(win::WM_RBUTTONDOWN, false), 0u);
    EXPECT_EQ(r.Pending(), 0u);
}

TEST(MouseReentryTest, ReleaseOfARunningDragIsSwallowedAndKept) {
    TMouseReentry r;
    TMouseReentry::TEntry busy(r);
    EXPECT_EQ(r.NestedReply(win::WM_RBUTTONUP, true), 1u);
    EXPECT_EQ(r.NestedReply(win::WM_NCRBUTTONUP, true), 1u);
    // Without a drag the release belongs to a press its window saw.
    EXPECT_EQ(r.NestedReply(win::WM_RBUTTONUP, false), 0u);
    EXPECT_EQ(r.Pending(), 3u);
}

TEST(MouseReentryTest, ButtonEventsComeBackInOrderOnlyWhenIdle) {
    TMouseReentry r;
    {
        TMouseReentry::TEntry busy(r);
        EXPECT_EQ(r.NestedReply(win::WM_LBUTTONDOWN, true), 0u);  // stops a glide, later
        r.NestedReply(win::WM_MOUSEMOVE, true);
        r.NestedReply(win::WM_LBUTTONUP, true);
        r.NestedReply(win::WM_RBUTTONUP, true);
        EXPECT_FALSE(r.TakeDeferred().has_value()) << "handed out while the engine is busy";
    }
    EXPECT_EQ(Drain(r), (std::vector<std::uint32_t>{win::WM_LBUTTONDOWN, win::WM_LBUTTONUP, win::WM_RBUTTONUP}));
    EXPECT_FALSE(r.TakeDeferred().has_value());
}

}  // namespace
}  // namespace flicko

// The real hook library through the real loader, on this process's own
// shared block.
#include "platform/win32/WindowsInclude.h"

#include <gtest/gtest.h>

#include <string>

#include "hook/loader/SharedBlock.h"
#include "hook/loader/HookLink.h"

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
    // The loader frees the library after each call.
    EXPECT_EQ(::GetModuleHandleA("claspm.dll"), nullptr);
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
    ASSERT_TRUE(::UnhookWindowsHookEx(reinterpret_cast<HHOOK>(static_cast<UINT_PTR>(hook))));
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

}  // namespace
}  // namespace flicko

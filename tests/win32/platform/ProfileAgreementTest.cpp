// The native profile reader against GetPrivateProfileStringA on the same
// files: generated texts full of brackets, quotes, blanks and odd line ends,
// every answer compared.
#include "platform/win32/WindowsInclude.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/native/NativeProfileFiles.h"
#include "tests/unit/support/TempFiles.h"

namespace flicko {
namespace {

std::string RandomProfileText(std::mt19937& rng) {
    static const char* const pieces[] = {
        "[S]", "[s]", "[ S ]", "[S", "S]", "[]", "[T]", "K", "k", " K ", "a", "=", "==", "1", "x y",
        "\"", "'", "\"v\"", "'v'", ";", "; K=c", " ", "\t", "\r\n", "\n", "\r", "\n\n", "=v",
        "\x1a", "\f", "\"x'\"", "[A]", "Ka=1", "K =", "[s]]",
    };
    std::uniform_int_distribution<int> count(0, 24);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::string text;
    for (int i = count(rng); i > 0; --i) text += pieces[pick(rng)];
    return text;
}

TEST(ProfileAgreementTest, NativeReaderAnswersLikeTheSystemOnGeneratedFiles) {
    auto system = MakeSystemProfileFiles();
    NativeProfileFiles native;
    test::TempFolder folder;
    std::mt19937 rng(20261208);
    const char* const sections[] = {"S", "s", " S", "T", ""};
    const char* const keys[] = {"K", "k", "a", " K"};
    int mismatches = 0;
    for (int n = 0; n < 400 && mismatches < 10; ++n) {
        const std::string text = RandomProfileText(rng);
        const auto file = folder.Write("g" + std::to_string(n) + ".ini", text);
        for (const char* section : sections) {
            for (const char* key : keys) {
                const auto want = system->GetString(file, section, key, "<d>");
                const auto got = native.GetString(file, section, key, "<d>");
                if (want != got) {
                    ++mismatches;
                    ADD_FAILURE() << "[" << section << "] " << key << " in\n" << text << "\nsystem: " << want
                                  << "\nnative: " << got;
                }
            }
            if (!*section) continue;  // the system reads an empty section name as "all sections"
            const auto wantKeys = system->GetKeys(file, section);
            const auto gotKeys = native.GetKeys(file, section);
            for (const std::size_t small : {5u, 9u, 16u}) {
                if (system->GetKeys(file, section, small) != native.GetKeys(file, section, small)) {
                    ++mismatches;
                    ADD_FAILURE() << "key list of [" << section << "] in " << small << " characters differs in\n"
                                  << text;
                }
            }
            if (wantKeys != gotKeys) {
                ++mismatches;
                ADD_FAILURE() << "key list of [" << section << "] differs in\n" << text << "\nsystem: "
                              << ::testing::PrintToString(wantKeys) << "\nnative: "
                              << ::testing::PrintToString(gotKeys);
            }
        }
    }
}

TEST(ProfileAgreementTest, WritesByTheNativeWriterReadBackThroughTheSystem) {
    auto system = MakeSystemProfileFiles();
    NativeProfileFiles native;
    test::TempFolder folder;
    std::mt19937 rng(7);
    for (int n = 0; n < 100; ++n) {
        const std::string text = RandomProfileText(rng);
        const auto file = folder.Write("w" + std::to_string(n) + ".ini", text);
        ASSERT_TRUE(native.WriteString(file, "S", "K", "written"));
        EXPECT_EQ(system->GetString(file, "S", "K", "<d>"), "written") << text;
        EXPECT_EQ(system->GetString(file, "T", "a", "<d>"), native.GetString(file, "T", "a", "<d>")) << text;
    }
}

}  // namespace
}  // namespace flicko

// These run against the system's profile functions: natively against the
// native reader, under Windows against GetPrivateProfileStringA itself, so
// passing in both builds shows that the two agree.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/ProfileFile.h"
#include "platform/native/NativeProfileFiles.h"
#include "tests/unit/support/TempFiles.h"

namespace flicko {
namespace {

class ProfileFileTest : public ::testing::Test {
protected:
    std::unique_ptr<ProfileFiles> profiles = MakeSystemProfileFiles();
    test::TempFolder folder;

    std::string Get(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& def = "<def>") {
        return profiles->GetString(file, section, key, def);
    }
};

TEST_F(ProfileFileTest, LookupIgnoresCaseAndBlanksAndTakesTheFirstLineOfAKey) {
    const auto ini = folder.Write("a.ini",
                                  "[Files]\r\n"
                                  "  Editor  =   notepad.exe   \r\n"
                                  "editor=second.exe\r\n"
                                  "[scroll]\r\n"
                                  "Enable=1\r\n");
    EXPECT_EQ(Get(ini, "files", "EDITOR"), "notepad.exe");
    EXPECT_EQ(Get(ini, "SCROLL", "enable"), "1");
    EXPECT_EQ(Get(ini, "Scroll", "Editor"), "<def>") << "keys belong to their own section";
}

TEST_F(ProfileFileTest, MissingFileSectionKeyOrEqualsSignGivesTheDefault) {
    const auto ini = folder.Write("a.ini", "[S]\nKey=v\nNoValue\n\n[Empty]\n");
    EXPECT_EQ(Get(folder.Path("absent.ini"), "S", "Key"), "<def>");
    EXPECT_EQ(Get(ini, "T", "Key"), "<def>");
    EXPECT_EQ(Get(ini, "Empty", "Key"), "<def>");
    EXPECT_EQ(Get(ini, "S", "Other"), "<def>");
    EXPECT_EQ(Get(ini, "S", "NoValue"), "<def>");
    EXPECT_EQ(Get(ini, "S", "Key"), "v");
}

TEST_F(ProfileFileTest, TrailingBlanksOfTheDefaultAreDropped) {
    EXPECT_EQ(Get(folder.Path("absent.ini"), "S", "K", "abc   "), "abc");
    EXPECT_EQ(Get(folder.Path("absent.ini"), "S", "K", "  abc"), "  abc");
}

TEST_F(ProfileFileTest, EmptyValueReadsAsEmptyNotAsTheDefault) {
    const auto ini = folder.Write("a.ini", "[S]\nKey=\nKey2 =   \n");
    EXPECT_EQ(Get(ini, "S", "Key"), "");
    EXPECT_EQ(Get(ini, "S", "Key2"), "");
}

TEST_F(ProfileFileTest, MatchingQuotesAroundAValueAreRemoved) {
    const auto ini = folder.Write("q.ini",
                                  "[Q]\n"
                                  "Double=\"  padded  \"\n"
                                  "Single='x'\n"
                                  "Mixed=\"x'\n"
                                  "Lone=\"\n"
                                  "Inner=a\"b\"\n"
                                  "Empty=\"\"\n");
    EXPECT_EQ(Get(ini, "Q", "Double"), "  padded  ");
    EXPECT_EQ(Get(ini, "Q", "Single"), "x");
    EXPECT_EQ(Get(ini, "Q", "Mixed"), "\"x'");
    EXPECT_EQ(Get(ini, "Q", "Lone"), "\"");
    EXPECT_EQ(Get(ini, "Q", "Inner"), "a\"b\"");
    EXPECT_EQ(Get(ini, "Q", "Empty"), "");
}

TEST_F(ProfileFileTest, LongValueIsCutToTheBufferLessOne) {
    const std::string longValue(3000, 'x');
    const auto ini = folder.Write("long.ini", "[S]\nK=" + longValue + "\n");
    EXPECT_EQ(Get(ini, "S", "K"), std::string(2047, 'x'));
    EXPECT_EQ(profiles->GetString(ini, "S", "K", "", 10), std::string(9, 'x'));
}

TEST_F(ProfileFileTest, OnlyTheFirstSectionOfANameCounts) {
    const auto ini = folder.Write("dup.ini", "[S]\nA=1\n[T]\nA=t\n[s]\nA=2\nB=3\n");
    EXPECT_EQ(Get(ini, "S", "A"), "1");
    EXPECT_EQ(Get(ini, "S", "B"), "<def>");
}

TEST_F(ProfileFileTest, KeyListKeepsFileOrderAndSkipsCommentsAndBlankLines) {
    const auto ini = folder.Write("keys.ini",
                                  "[Other]\nX=1\n"
                                  "[Items]\n"
                                  "Menu=\n"
                                  "; a comment\n"
                                  "\n"
                                  "Execute2 = b\n"
                                  "Execute1=a\n"
                                  "execute2=dup\n"
                                  "[Next]\nY=2\n");
    EXPECT_EQ(profiles->GetKeys(ini, "items"),
              (std::vector<std::string>{"Menu", "Execute2", "Execute1", "execute2"}));
    EXPECT_TRUE(profiles->GetKeys(ini, "Missing").empty());
    EXPECT_TRUE(profiles->GetKeys(folder.Path("absent.ini"), "Items").empty());
}

TEST_F(ProfileFileTest, LineWithoutEqualsSignIsNotListedAndAnEmptyNameEndsTheList) {
    const auto ini = folder.Write("bare.ini", "[S]\nSeparator\nExit=Quit\n=orphan\nAbout=x\n");
    EXPECT_EQ(profiles->GetKeys(ini, "S"), (std::vector<std::string>{"Exit"}));
}

TEST_F(ProfileFileTest, WrittenValueLosesLeadingBlanksAndReadsBackWithoutTrailingOnes) {
    const auto ini = folder.Path("blank.ini");
    ASSERT_TRUE(profiles->WriteString(ini, "S", "K", "   v w   "));
    EXPECT_EQ(Get(ini, "S", "K"), "v w");
    ASSERT_TRUE(profiles->WriteString(ini, "S", "K", "\"q\""));
    EXPECT_EQ(Get(ini, "S", "K"), "q");
}

TEST_F(ProfileFileTest, BlanksInsideTheBracketsDoNotCountButAListIsAskedByExactName) {
    const auto ini = folder.Write("pad.ini", "[ Files ]\nEditor=vi\n");
    EXPECT_EQ(Get(ini, "Files", "Editor"), "vi");
    EXPECT_EQ(Get(ini, " files ", "Editor"), "vi");
    EXPECT_EQ(profiles->GetKeys(ini, "FILES"), std::vector<std::string>{"Editor"});
    EXPECT_TRUE(profiles->GetKeys(ini, " Files").empty());
}

TEST_F(ProfileFileTest, KeyListStopsWhereTheBufferIsFull) {
    const auto ini = folder.Write("many.ini", "[S]\nAlpha=1\nBeta=2\nGamma=3\n");
    // "Alpha\0Beta\0" takes 11 characters; the rest does not fit into 14.
    const auto keys = profiles->GetKeys(ini, "S", 14);
    ASSERT_GE(keys.size(), 2u);
    EXPECT_EQ(keys[0], "Alpha");
    EXPECT_EQ(keys[1], "Beta");
    EXPECT_LE(keys.size(), 3u);
    EXPECT_EQ(std::find(keys.begin(), keys.end(), "Gamma"), keys.end());
}

TEST_F(ProfileFileTest, WriteCreatesTheFileSectionAndKey) {
    const auto ini = folder.Path("new.ini");
    ASSERT_TRUE(profiles->WriteString(ini, "Scroll", "Enable", "True"));
    EXPECT_EQ(Get(ini, "Scroll", "Enable"), "True");
    ASSERT_TRUE(profiles->WriteString(ini, "Files", "Ini", "x.ini"));
    EXPECT_EQ(Get(ini, "Files", "Ini"), "x.ini");
    EXPECT_EQ(Get(ini, "Scroll", "Enable"), "True");
}

TEST_F(ProfileFileTest, WriteReplacesTheFirstLineOfTheKeyAndKeepsTheRest) {
    const auto ini = folder.Write("upd.ini",
                                  "[Files]\r\nEditor=vi\r\n"
                                  "[scroll]\r\nInertiaMin=500\r\nenable = False\r\nEnable=Second\r\n"
                                  "[Etc]\r\nJa=0\r\n");
    ASSERT_TRUE(profiles->WriteString(ini, "Scroll", "Enable", "True"));
    EXPECT_EQ(Get(ini, "Scroll", "Enable"), "True");
    EXPECT_EQ(Get(ini, "Scroll", "InertiaMin"), "500");
    EXPECT_EQ(Get(ini, "Files", "Editor"), "vi");
    EXPECT_EQ(Get(ini, "Etc", "Ja"), "0");
    const std::string text = folder.Read("upd.ini");
    // In place: the key is not appended to the end of the file or section.
    EXPECT_LT(text.find("True"), text.find("[Etc]"));
    EXPECT_LT(text.find("InertiaMin"), text.find("True"));
}

TEST_F(ProfileFileTest, WriteAddsAMissingKeyToItsExistingSection) {
    const auto ini = folder.Write("add.ini", "[Scroll]\r\nInertiaMin=500\r\n\r\n[Etc]\r\nJa=1\r\n");
    ASSERT_TRUE(profiles->WriteString(ini, "SCROLL", "Enable", "False"));
    EXPECT_EQ(Get(ini, "Scroll", "Enable"), "False");
    EXPECT_EQ(Get(ini, "Etc", "Enable"), "<def>");
    EXPECT_EQ(Get(ini, "Etc", "Ja"), "1");
    const std::string text = folder.Read("add.ini");
    EXPECT_LT(text.find("Enable"), text.find("[Etc]"));
}

TEST_F(ProfileFileTest, WriteFailsForAFolderThatDoesNotExist) {
    EXPECT_FALSE(profiles->WriteString(folder.Path("no-such-dir") + "/x.ini", "S", "K", "v"));
    EXPECT_FALSE(profiles->WriteStringAtomically(folder.Path("no-such-dir") + "/x.ini", "S", "K", "v"));
}

TEST_F(ProfileFileTest, AtomicWriteEditsLikeTheOtherAndLeavesNoCopyBehind) {
    const auto ini = folder.Write("exit.ini", "[Files]\r\nEditor=vi\r\n[Scroll]\r\nEnable=False\r\nInertiaMin=500\r\n");
    ASSERT_TRUE(profiles->WriteStringAtomically(ini, "Scroll", "Enable", "True"));
    EXPECT_EQ(Get(ini, "Scroll", "Enable"), "True");
    EXPECT_EQ(Get(ini, "Scroll", "InertiaMin"), "500");
    EXPECT_EQ(Get(ini, "Files", "Editor"), "vi");
    const auto created = folder.Path("created.ini");
    ASSERT_TRUE(profiles->WriteStringAtomically(created, "Scroll", "Enable", "False"));
    EXPECT_EQ(Get(created, "Scroll", "Enable"), "False");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(ini).parent_path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"created.ini", "exit.ini"}));
}

// The native reader alone: cases the file round trip above cannot reach.
TEST(ProfileTextTest, QuotesStayWhenTheValueDoesNotFitAndCrOnlyLinesWork) {
    EXPECT_EQ(TProfileText::CopyEntry("\"abcdef\"", 5, true), "abcd");
    EXPECT_EQ(TProfileText::CopyEntry("\"abc\"", 64, false), "\"abc\"");
    const TProfileText text("[A]\rK=1\r[B]\rK=2");
    EXPECT_EQ(text.Find("B", "K").value_or("?"), "2");
    EXPECT_EQ(text.Find("A", "K").value_or("?"), "1");
}

TEST(ProfileTextTest, SetOnAnEmptyTextAndAHeaderWithoutLineBreak) {
    TProfileText empty("");
    empty.Set("S", "K", "  v");
    EXPECT_EQ(empty.Text(), "[S]\r\nK=v\r\n");
    TProfileText bare("[S]");
    bare.Set("s", "K", "v");
    EXPECT_EQ(bare.Find("S", "K").value_or("?"), "v");
    EXPECT_EQ(bare.Text(), "[S]\r\nK=v");
}

}  // namespace
}  // namespace flicko

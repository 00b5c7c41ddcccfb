// The user's own rules file and fprobe's rule blocks, on real files.
#include "rules/UserRules.h"

#include <gtest/gtest.h>

#include "platform/native/NativeProfileFiles.h"
#include "tests/unit/rules/RulesTestSupport.h"

namespace flicko {
namespace {

// "<appdir>" is the scratch folder's "app", %APPDATA% its "appdata".
class AppExpander : public IPathExpander {
public:
    explicit AppExpander(std::string dir) : dir_(std::move(dir)) {}
    std::string ExpandPath(std::string_view path) const override {
        std::string p(path);
        for (const auto& [from, to] : {std::pair<std::string, std::string>{"<appdir>", dir_ + "/app"},
                                       {"%APPDATA%", dir_ + "/appdata"}}) {
            if (const std::size_t at = p.find(from); at != std::string::npos) p.replace(at, from.size(), to);
        }
        return p;
    }

private:
    std::string dir_;
};

struct Boxes : IErrorReport {
    std::vector<std::string> shown;
    void ShowErrorBox(const std::string& text) override { shown.push_back(text); }
};

class UserRules : public ::testing::Test {
protected:
    UserRules() {
        shipped = dir.Write("app/default/scroll.dat", "ClassI(Edit) { VScrollWidth: 16 dot; }\n");
        shippedIni = dir.Write("app/default/flicko.ini", "[Files]\nIni=%APPDATA%\\Flicko\\flicko.ini\n");
    }
    testing::ScratchDir dir;
    AppExpander paths{dir.Dir()};
    NativeProfileFiles profiles;
    Boxes boxes;
    TUserRuleEditor editor{profiles, paths, boxes};
    std::string shipped, shippedIni;
};

TEST_F(UserRules, FirstActionMakesTheUsersFileThatIncludesTheShippedOneAndUndoGivesItBackAsMade) {
    std::string scrollDat = shipped;
    const std::string userIni = dir.Dir() + "/appdata/Flicko/flicko.ini";
    ASSERT_TRUE(editor.Apply(scrollDat, userIni, ERuleSubject::Program, "game.exe", ERuleAction::LeaveAlone,
                             "2026-12-09"));
    EXPECT_EQ(scrollDat, dir.Dir() + "/appdata/Flicko\\scroll.dat");
    EXPECT_EQ(profiles.GetString(userIni, "Files", "ScrollDat", ""), scrollDat);
    std::string text;
    ASSERT_TRUE(ReadTextFile(scrollDat, text));
    EXPECT_NE(text.find("#include <appdir>\\default\\scroll.dat\r\n\r\n"
                        "// Added by fprobe on 2026-12-09: Leave alone, program \"game.exe\".\r\n"
                        "ProcessI(game.exe)\r\n{\r\n    IsScroll: False;\r\n}\r\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(editor.Taken(scrollDat, ERuleSubject::Program, "game.exe"), ERuleAction::LeaveAlone);
    EXPECT_EQ(editor.Taken(scrollDat, ERuleSubject::WindowClass, "game.exe"), std::nullopt);
    // A second action for the same subject waits for the Undo.
    EXPECT_FALSE(editor.Apply(scrollDat, userIni, ERuleSubject::Program, "game.exe", ERuleAction::ScrollByWheel,
                              "2026-12-09"));

    std::string made;
    ASSERT_TRUE(editor.Undo(scrollDat, ERuleSubject::Program, "game.exe"));
    ASSERT_TRUE(ReadTextFile(scrollDat, made));
    EXPECT_EQ(made, text.substr(0, text.find("\r\n\r\n// Added") + 2));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(UserRules, UndoRemovesOnlyItsOwnBlockAndNamesAreWrittenAsPathArguments) {
    const std::string mine = "#include x\r\nClass(Keep) { }\r\n";
    const std::string a = RuleBlockText(ERuleSubject::WindowClass, "Afx(1)", ERuleAction::ScrollByLines, "d");
    const std::string b = RuleBlockText(ERuleSubject::Program, "Afx(1)", ERuleAction::LeaveAlone, "d");
    EXPECT_NE(a.find("Class(Afx\\(1\\))\r\n"), std::string::npos);
    EXPECT_EQ(RemoveRuleBlock(mine + a + b, ERuleSubject::WindowClass, "Afx(1)"), mine + b);
    EXPECT_EQ(RemoveRuleBlock(mine, ERuleSubject::WindowClass, "Afx(1)"), std::nullopt);
    EXPECT_FALSE(WritableRuleName("a{b"));
    EXPECT_FALSE(WritableRuleName("http://x"));
}

TEST_F(UserRules, SettingsThatNameAFileOfTheUsersOwnKeepIt) {
    std::string scrollDat = dir.Write("mine.dat", "// mine\n");
    const std::string before = scrollDat;
    EXPECT_TRUE(EnsureUserScrollDat(scrollDat, shippedIni, profiles, paths));
    EXPECT_EQ(scrollDat, before);
    EXPECT_EQ(profiles.GetString(shippedIni, "Files", "ScrollDat", "none"), "none");
}

}  // namespace
}  // namespace flicko

// The user's own rules file and the rule blocks fprobe writes into it.
//
// The shipped rules file is replaced by every upgrade, so nothing the user
// wants to keep is ever written there: the first edit makes a file of the
// user's own that includes the shipped one and points the user's settings
// at it. fprobe's actions add one readable block each to the end of that
// file (after the include, so the block wins), marked by a comment line that
// names the action and its subject, so that "Undo" finds exactly that block
// and takes it out again.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/FlError.h"
#include "base/PathExpander.h"
#include "platform/ProfileFile.h"

namespace flicko {

// What a block applies to: every window of a program (by its image name,
// any letter case) or every window of one class.
enum class ERuleSubject { Program, WindowClass };

enum class ERuleAction { LeaveAlone, ScrollByWheel, ScrollByLines };

// The button caption of an action, without its mnemonic.
std::string_view RuleActionName(ERuleAction action);

// Whether a name can be written as the argument of a window path: a name
// with "{", a double quote, a comment opener or a control character cannot.
bool WritableRuleName(std::string_view name);

// The block, lines ended with CR LF, opened by a blank line and the marker
// comment with the date given (such as "2026-12-09").
std::string RuleBlockText(ERuleSubject subject, std::string_view name, ERuleAction action, std::string_view date);

// The action of the block written for this subject, if the text holds one.
std::optional<ERuleAction> FindRuleBlock(std::string_view text, ERuleSubject subject, std::string_view name);

// The text without that block: from its marker line (and the blank line
// written before it) to the first line that is "}". Nothing when the text
// holds no block for the subject.
std::optional<std::string> RemoveRuleBlock(std::string_view text, ERuleSubject subject, std::string_view name);

// What one reading of a rules file reports, counted the way the checker
// counts. The first report is kept with its place (line 0: a report
// without one, such as a missing file).
struct TRulesCheck {
    bool Aborted = false;  // missing, unreadable, or the reading was aborted
    int Reports = 0;
    std::string FirstFile;
    int FirstLine = 0;
    std::string FirstMessage;
    std::vector<std::string> FilesRead;
    bool Clean() const { return !Aborted && Reports == 0; }
    // The first report as one text, place first.
    std::string FirstText() const;
};
TRulesCheck CheckRulesFile(const std::string& path, const IPathExpander& paths);

// Whole-file helpers for the rules files. The write goes to a copy beside
// the file, which then replaces it in one step, so a reader never sees it
// half written.
bool ReadTextFile(const std::string& path, std::string& text);
bool ReplaceTextFile(const std::string& path, const std::string& text);

// The shipped rules file, "<appdir>\default\scroll.dat", expanded.
std::string ShippedScrollDat(const IPathExpander& paths);

// Makes sure scrollDat names a rules file of the user's own. When it names
// the shipped file: the user's file is "scroll.dat" in the folder of
// settingsFile (or "%APPDATA%\Flicko" when settingsFile is itself shipped);
// it is made, unless it exists, with a comment and the include of the
// shipped file; [Files] ScrollDat of settingsFile names it; and scrollDat
// does. False when a write failed (scrollDat is then unchanged).
bool EnsureUserScrollDat(std::string& scrollDat, const std::string& settingsFile, ProfileFiles& profiles,
                         const IPathExpander& paths);
// The report when that failed.
std::string OwnScrollDatFailedText(const std::string& scrollDat);

// fprobe's actions on the user's rules file, checked the way the checker
// reads a file: an action whose result reads worse than the file did before
// (a report more, or an aborted reading) is taken back and its reports are
// shown through errors.
class TUserRuleEditor {
public:
    TUserRuleEditor(ProfileFiles& profiles, const IPathExpander& paths, IErrorReport& errors)
        : profiles_(profiles), paths_(paths), errors_(errors) {}

    // The action already taken for the subject in the rules file.
    std::optional<ERuleAction> Taken(const std::string& scrollDat, ERuleSubject subject, std::string_view name) const;
    // Writes the block (into the user's own file, made first when needed).
    // False when nothing was written.
    bool Apply(std::string& scrollDat, const std::string& settingsFile, ERuleSubject subject, std::string_view name,
               ERuleAction action, std::string_view date);
    // Removes the block written for the subject.
    bool Undo(const std::string& scrollDat, ERuleSubject subject, std::string_view name);

private:
    bool WriteChecked(const std::string& scrollDat, const std::string& before, const std::string& after);

    ProfileFiles& profiles_;
    const IPathExpander& paths_;
    IErrorReport& errors_;
};

}  // namespace flicko

#include "rules/UserRules.h"

#include <atomic>
#include <chrono>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/NativePath.h"
#include "base/Text.h"
#include "rules/SclDatReader.h"

namespace flicko {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMarker = "// Added by fprobe on ";

std::string_view SubjectWord(ERuleSubject subject) {
    return subject == ERuleSubject::Program ? "program" : "window class";
}

// "Leave alone, program "notepad.exe"." after the date and ": ".
std::string MarkerTail(ERuleSubject subject, std::string_view name, ERuleAction action) {
    return std::string(RuleActionName(action)) + ", " + std::string(SubjectWord(subject)) + " \"" +
           std::string(name) + "\".";
}

// A path argument keeps a backslash, "(" and ")" only behind a backslash.
std::string PathArgument(std::string_view name) {
    std::string out;
    for (char c : name) {
        if (c == '\\' || c == '(' || c == ')') out += '\\';
        out += c;
    }
    return out;
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        else ++end;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

// The index of the marker line of the subject's block, with its action.
std::optional<std::pair<std::size_t, ERuleAction>> FindMarker(const std::vector<std::string_view>& lines,
                                                              ERuleSubject subject, std::string_view name) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = Trim(lines[i]);
        if (line.substr(0, kMarker.size()) != kMarker) continue;
        const std::size_t colon = line.find(": ", kMarker.size());
        if (colon == std::string_view::npos) continue;
        const std::string_view tail = line.substr(colon + 2);
        for (ERuleAction a : {ERuleAction::LeaveAlone, ERuleAction::ScrollByWheel, ERuleAction::ScrollByLines}) {
            if (tail == MarkerTail(subject, name, a)) return std::make_pair(i, a);
        }
    }
    return std::nullopt;
}

// Counts what a reading of the file reports, keeping the first report.
class TCountingReport : public IReadErrorReport {
public:
    explicit TCountingReport(TRulesCheck& check) : check_(check) {}
    void ShowErrorBox(const std::string& text) override { Add("", 0, text); }
    void ReportReadError(const std::string& fileName, int line, const std::string& message) override {
        Add(fileName, line, message);
    }
    void Add(const std::string& file, int line, const std::string& message) {
        if (check_.Reports++ > 0) return;
        check_.FirstFile = file;
        check_.FirstLine = line;
        check_.FirstMessage = message;
    }

private:
    TRulesCheck& check_;
};

// Paths compared as the system compares them: any letter case, and "/"
// the same as "\\".
bool SamePath(std::string a, std::string b) {
    for (std::string* s : {&a, &b}) {
        for (char& c : *s) {
            if (c == '/') c = '\\';
        }
    }
    return SameText(a, b);
}

std::string FolderOf(const std::string& file) {
    const std::size_t slash = file.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

}  // namespace

std::string TRulesCheck::FirstText() const {
    return FirstLine > 0 ? FileLineText(FirstFile, FirstLine) + "\n" + FirstMessage : FirstMessage;
}

TRulesCheck CheckRulesFile(const std::string& path, const IPathExpander& paths) {
    TRulesCheck check;
    TRuleModel model;
    TCountingReport report(check);
    TScrollDataReader reader(model, report, paths);
    try {
        check.Aborted = !reader.LoadScrollData(path);
    } catch (const std::exception& e) {
        check.Aborted = true;
        report.Add(reader.AbortFileName(), reader.AbortLine(), e.what());
    }
    check.FilesRead = reader.FilesRead();
    return check;
}

std::string_view RuleActionName(ERuleAction action) {
    switch (action) {
    case ERuleAction::LeaveAlone: return "Leave alone";
    case ERuleAction::ScrollByWheel: return "Scroll by wheel";
    case ERuleAction::ScrollByLines: return "Scroll by lines";
    }
    return "";
}

bool WritableRuleName(std::string_view name) {
    if (name.empty() || name.find("//") != std::string_view::npos || name.find("/*") != std::string_view::npos)
        return false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < ' ' || c == '{' || c == '"') return false;
    }
    return true;
}

std::string RuleBlockText(ERuleSubject subject, std::string_view name, ERuleAction action, std::string_view date) {
    std::string block = "\r\n" + std::string(kMarker) + std::string(date) + ": " + MarkerTail(subject, name, action) +
                        "\r\n";
    block += subject == ERuleSubject::Program ? "ProcessI(" : "Class(";
    block += PathArgument(name) + ")\r\n{\r\n";
    switch (action) {
    case ERuleAction::LeaveAlone: block += "    IsScroll: False;\r\n"; break;
    case ERuleAction::ScrollByWheel: block += "    IsScroll: True;\r\n    Method: mousewheel;\r\n"; break;
    case ERuleAction::ScrollByLines: block += "    IsScroll: True;\r\n    Method: scrollline;\r\n"; break;
    }
    return block + "}\r\n";
}

std::optional<ERuleAction> FindRuleBlock(std::string_view text, ERuleSubject subject, std::string_view name) {
    const auto marker = FindMarker(Lines(text), subject, name);
    if (!marker) return std::nullopt;
    return marker->second;
}

std::optional<std::string> RemoveRuleBlock(std::string_view text, ERuleSubject subject, std::string_view name) {
    const std::vector<std::string_view> lines = Lines(text);
    const auto marker = FindMarker(lines, subject, name);
    if (!marker) return std::nullopt;
    std::size_t first = marker->first;
    std::size_t last = first;
    while (last < lines.size() && Trim(lines[last]) != "}") ++last;
    if (first > 0 && Trim(lines[first - 1]).empty()) --first;
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i < first || i > last) out += lines[i];
    }
    return out;
}

bool ReadTextFile(const std::string& path, std::string& text) {
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool ReplaceTextFile(const std::string& path, const std::string& text) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::string temp = path + ".~" + std::to_string(stamp) + "-" + std::to_string(counter++) + ".tmp";
    std::error_code ec;
    {
        std::ofstream out(NativePath(temp), std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            fs::remove(fs::path(NativePath(temp)), ec);
            return false;
        }
    }
    fs::rename(fs::path(NativePath(temp)), fs::path(NativePath(path)), ec);
    if (!ec) return true;
    fs::remove(fs::path(NativePath(temp)), ec);
    return false;
}

std::string ShippedScrollDat(const IPathExpander& paths) { return paths.ExpandPath("<appdir>\\default\\scroll.dat"); }

bool EnsureUserScrollDat(std::string& scrollDat, const std::string& settingsFile, ProfileFiles& profiles,
                         const IPathExpander& paths) {
    const std::string shipped = ShippedScrollDat(paths);
    if (!SamePath(scrollDat, shipped)) return true;
    // The settings chain ends in the user's own file; where it ends in the
    // shipped folder the user's folder is the one the shipped settings name.
    const std::string shippedFolder = FolderOf(shipped);
    std::string folder = FolderOf(settingsFile);
    if (folder.empty() || SamePath(folder, shippedFolder)) folder = paths.ExpandPath("%APPDATA%\\Flicko");
    const std::string own = folder + "\\scroll.dat";
    if (!profiles.MakeFolderFor(own)) return false;
    std::string existing;
    if (!ReadTextFile(own, existing)) {
        const std::string text =
            "// Your own rules, read instead of the shipped file, which the next line\r\n"
            "// includes; an upgrade never touches this file. A rule below the include\r\n"
            "// wins over the shipped ones. fprobe's buttons add and remove blocks here.\r\n"
            "#include <appdir>\\default\\scroll.dat\r\n";
        if (!ReplaceTextFile(own, text)) return false;
    }
    if (!profiles.WriteStringAtomically(settingsFile, "Files", "ScrollDat", own)) return false;
    scrollDat = own;
    return true;
}

std::string OwnScrollDatFailedText(const std::string& scrollDat) {
    return "Cannot make your own rules file in place of " + scrollDat;
}

std::optional<ERuleAction> TUserRuleEditor::Taken(const std::string& scrollDat, ERuleSubject subject,
                                                  std::string_view name) const {
    std::string text;
    if (!ReadTextFile(scrollDat, text)) return std::nullopt;
    return FindRuleBlock(text, subject, name);
}

bool TUserRuleEditor::Apply(std::string& scrollDat, const std::string& settingsFile, ERuleSubject subject,
                            std::string_view name, ERuleAction action, std::string_view date) {
    if (!WritableRuleName(name)) return false;
    if (!EnsureUserScrollDat(scrollDat, settingsFile, profiles_, paths_)) {
        errors_.ShowErrorBox(OwnScrollDatFailedText(scrollDat));
        return false;
    }
    std::string before;
    if (!ReadTextFile(scrollDat, before) || FindRuleBlock(before, subject, name)) return false;
    std::string after = before;
    if (!after.empty() && after.back() != '\n') after += "\r\n";
    after += RuleBlockText(subject, name, action, date);
    return WriteChecked(scrollDat, before, after);
}

bool TUserRuleEditor::Undo(const std::string& scrollDat, ERuleSubject subject, std::string_view name) {
    std::string before;
    if (!ReadTextFile(scrollDat, before)) return false;
    const std::optional<std::string> after = RemoveRuleBlock(before, subject, name);
    return after && WriteChecked(scrollDat, before, *after);
}

bool TUserRuleEditor::WriteChecked(const std::string& scrollDat, const std::string& before,
                                   const std::string& after) {
    const TRulesCheck old = CheckRulesFile(scrollDat, paths_);
    if (!ReplaceTextFile(scrollDat, after)) {
        errors_.ShowErrorBox("Cannot write " + scrollDat);
        return false;
    }
    const TRulesCheck now = CheckRulesFile(scrollDat, paths_);
    if ((now.Aborted && !old.Aborted) || now.Reports > old.Reports) {
        ReplaceTextFile(scrollDat, before);
        errors_.ShowErrorBox(now.FirstText());
        return false;
    }
    return true;
}

}  // namespace flicko

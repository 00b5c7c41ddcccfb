#include "rules/SclDatReader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "base/NativePath.h"
#include "rules/SclDatReadDistinWnd.h"
#include "rules/SclDatReadProps.h"
#include "rules/Calc.h"

namespace flicko {

namespace fs = std::filesystem;

namespace {

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::path(NativePath(path)), ec);
}

// Identifies a file for the circular-include check, whatever its spelling.
std::string FileKey(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::path(NativePath(path)), ec);
    if (ec) return NativePath(path);
    return p.generic_string();
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    // Only plain files: a folder, a device or a pipe is no rules file (and
    // some never end).
    std::error_code ec;
    if (!fs::is_regular_file(fs::path(NativePath(path)), ec)) return false;
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return false;
    content = std::move(text).str();
    return true;
}

}  // namespace

// One open file of the include chain, with the reader state of the file
// that included it.
struct TScrollDataReader::Frame {
    std::string Content;
    std::size_t Next = 0;
    std::string Key;
    std::string SavedFileName;
    int SavedLine = 0;
    std::string SavedBuffer;
    std::size_t SavedBufferPos = 0;
    bool SavedInComment = false;
};

TScrollDataReader::TScrollDataReader(TRuleModel& model, IReadErrorReport& report, const IPathExpander& expander)
    : model_(model), report_(report), expander_(expander) {
    Regexes = &model_.RegexCache;
}

TScrollDataReader::~TScrollDataReader() = default;

void TScrollDataReader::Warn(const std::string& message) { report_.Warn(fileName_, line_, message); }

void TScrollDataReader::ReportReadError(const std::string& message) {
    report_.ReportReadError(fileName_, line_, message);
}

std::string TScrollDataReader::FileLineText() const { return flicko::FileLineText(fileName_, line_); }

bool TScrollDataReader::LoadScrollData(const std::string& fileName) {
    frames_.clear();
    fileName_ = fileName;
    line_ = 0;
    ClearBuffer();
    inComment_ = false;
    abortRecorded_ = false;
    abortFileName_.clear();
    abortLine_ = 0;
    filesRead_.assign(1, fileName);
    ReadingScope reading(report_);
    if (!FileExists(fileName)) {
        report_.ShowErrorBox("Scroll data file not exist : " + fileName);
        return false;
    }
    // Read first, then replace: a file that exists but cannot be read (an
    // editor holding it) leaves the rules of the last reading in force.
    std::string content;
    if (!ReadWholeFile(fileName, content)) {
        report_.ShowErrorBox("Scroll data file read error : " + fileName);
        return false;
    }
    // The cache points into the rules that are about to go.
    model_.KnowWindows.Clear();
    model_.SclDats.Clear();
    model_.RegexCache.Clear();
    model_.InitDefaults();
    model_.ElseSclDat.Path = kElsePathUnread;
    namedRules_ = std::make_unique<TNamedRules>();
    NamedRules = namedRules_.get();
    MergeStack.clear();
    Budget = TReadBudget{};

    struct Cleanup {
        TScrollDataReader& r;
        ~Cleanup() {
            r.NamedRules = nullptr;
            r.namedRules_.reset();
            r.MergeStack.clear();
        }
    } cleanup{*this};

    PushFrame(fileName, std::move(content));
    Run(0);
    return true;
}

void TScrollDataReader::ReadScrollDataFile(const std::string& path) {
    // A missing include counts too: making it is a change to the rules.
    if (std::find(filesRead_.begin(), filesRead_.end(), path) == filesRead_.end()) filesRead_.push_back(path);
    if (!FileExists(path)) {
        report_.ShowErrorBox("Scroll data file not exist : " + path);
        return;
    }
    const std::string key = FileKey(path);
    for (const auto& f : frames_) {
        if (f->Key == key) {
            ReportReadError("Circular include : " + path);
            return;
        }
    }
    if (frames_.size() >= kMaxIncludeDepth) {
        ReportReadError("Include nesting too deep : " + path);
        return;
    }
    // A call from outside a reading is a reading of its own.
    if (!running_) Budget = TReadBudget{};
    if (Budget.Includes >= TReadBudget::kMaxIncludes) {
        IncludeBudgetUsedUp("more than " + std::to_string(TReadBudget::kMaxIncludes) + " included files", path);
        return;
    }
    std::string content;
    if (!ReadWholeFile(path, content)) {
        report_.ShowErrorBox("Scroll data file read error : " + path);
        return;
    }
    ++Budget.Includes;
    if (content.size() > TReadBudget::kMaxIncludedBytes - Budget.IncludedBytes) {
        Budget.IncludedBytes = TReadBudget::kMaxIncludedBytes;
        IncludeBudgetUsedUp("more than " + std::to_string(TReadBudget::kMaxIncludedBytes >> 20) +
                                " MB of included text",
                            path);
        return;
    }
    Budget.IncludedBytes += content.size();
    const std::size_t base = frames_.size();
    // Inside a reading the item loop goes on with the new file; a call from
    // outside runs the loop for this file alone.
    if (running_) {
        PushFrame(path, std::move(content));
        return;
    }
    ReadingScope reading(report_);
    PushFrame(path, std::move(content));
    // Outside a reading the named rules live for this call only.
    const bool ownNamedRules = !namedRules_;
    if (ownNamedRules) {
        namedRules_ = std::make_unique<TNamedRules>();
        NamedRules = namedRules_.get();
    }
    struct Cleanup {
        TScrollDataReader& r;
        bool own;
        ~Cleanup() {
            if (!own) return;
            r.NamedRules = nullptr;
            r.namedRules_.reset();
            r.MergeStack.clear();
        }
    } cleanup{*this, ownNamedRules};
    abortRecorded_ = false;
    Run(base);
}

void TScrollDataReader::IncludeBudgetUsedUp(const std::string& what, const std::string& path) {
    if (Budget.IncludesReported) return;
    Budget.IncludesReported = true;
    ReportReadError("Too much included in one reading (" + what + "); this and later includes are left out : " +
                    path);
}

void TScrollDataReader::PushFrame(const std::string& path, std::string content) {
    auto frame = std::make_unique<Frame>();
    frame->Content = std::move(content);
    // A byte-order mark (older editors write one) is not part of the first
    // header.
    if (frame->Content.compare(0, 3, "\xEF\xBB\xBF") == 0) frame->Next = 3;
    frame->Key = FileKey(path);
    frame->SavedFileName = fileName_;
    frame->SavedLine = line_;
    frame->SavedBuffer = std::move(buffer_);
    frame->SavedBufferPos = bufferPos_;
    frame->SavedInComment = inComment_;
    frames_.push_back(std::move(frame));
    fileName_ = path;
    line_ = 0;
    ClearBuffer();
    inComment_ = false;
}

void TScrollDataReader::PopFrame() {
    Frame& f = *frames_.back();
    fileName_ = std::move(f.SavedFileName);
    line_ = f.SavedLine;
    buffer_ = std::move(f.SavedBuffer);
    bufferPos_ = f.SavedBufferPos;
    // A comment left open at the end of a file ends with it.
    inComment_ = f.SavedInComment;
    frames_.pop_back();
}

void TScrollDataReader::Run(std::size_t baseDepth) {
    const bool wasRunning = running_;
    running_ = true;
    try {
        while (frames_.size() > baseDepth) {
            if (!Skip()) {
                PopFrame();
                continue;
            }
            ReadItem();
        }
    } catch (...) {
        if (!abortRecorded_) {
            abortRecorded_ = true;
            abortFileName_ = fileName_;
            abortLine_ = line_;
        }
        while (frames_.size() > baseDepth) PopFrame();
        running_ = wasRunning;
        throw;
    }
    running_ = wasRunning;
}

void TScrollDataReader::ReadItem() {
    if (Buffer().front() == '#') {
        ReadDirective();
        return;
    }
    // The header's own place, before Token reads on over further lines.
    TRuleSource source{fileName_, line_};
    const std::string header = Token('{');
    if (SameText(header, "default")) {
        ReadDefaultBlock();
    } else if (SameText(header, "else")) {
        if (model_.ElseSclDat.Path != kElsePathRead) model_.ElseSource = source;
        ReadElseBlock();
    } else if (StartsWithText(header, "name")) {
        ReadNamedBlock(header);
    } else {
        ReadRuleBlock(header, std::move(source));
    }
}

bool TScrollDataReader::ReadLine() {
    Frame& f = *frames_.back();
    if (f.Next >= f.Content.size()) return false;
    const std::size_t end = f.Content.find_first_of("\r\n", f.Next);
    std::string_view line;
    if (end == std::string::npos) {
        line = std::string_view(f.Content).substr(f.Next);
        f.Next = f.Content.size();
    } else {
        line = std::string_view(f.Content).substr(f.Next, end - f.Next);
        f.Next = end + ((f.Content[end] == '\r' && end + 1 < f.Content.size() && f.Content[end + 1] == '\n') ? 2 : 1);
    }
    buffer_.assign(Trim(line));
    bufferPos_ = 0;
    ++line_;
    return true;
}

void TScrollDataReader::TrimBuffer() {
    while (bufferPos_ < buffer_.size() && IsBlank(buffer_[bufferPos_])) ++bufferPos_;
}

bool TScrollDataReader::Skip() {
    for (;;) {
        if (inComment_) {
            std::size_t close;
            while ((close = buffer_.find("*/", bufferPos_)) == std::string::npos) {
                if (!ReadLine()) return false;
            }
            bufferPos_ = close + 2;
            TrimBuffer();
            inComment_ = false;
        }
        while (Buffer().empty()) {
            if (!ReadLine()) return false;
        }
        TrimBuffer();
        const std::string_view b = Buffer();
        if (b.substr(0, 2) == "/*") {
            bufferPos_ += 2;  // so that "/*/" does not close itself
            inComment_ = true;
        } else if (b.substr(0, 2) == "//") {
            ClearBuffer();
        }
        if (!Buffer().empty() && !inComment_) return true;
    }
}

std::string TScrollDataReader::Token(char stop) {
    const std::string_view b = Buffer();
    bool quoted = false;
    std::size_t i = 0;
    for (; i < b.size(); ++i) {
        const char c = b[i];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (quoted) continue;
        if (c == stop) break;
        if (c == '/' && i + 1 < b.size() && (b[i + 1] == '*' || b[i + 1] == '/')) break;
    }
    std::string token(TrimRight(b.substr(0, i)));
    bufferPos_ += i;
    return token;
}

bool TScrollDataReader::Expect(char c) {
    if (!Skip()) return false;
    if (Buffer().front() != c) return false;
    ++bufferPos_;
    return true;
}

template <class Handler>
void TScrollDataReader::ReadPropertyList(Handler&& handler) {
    if (!Expect('{')) return;
    for (;;) {
        if (!Skip() || Buffer().front() == '}') break;
        const std::string key = Token(':');
        if (!Expect(':')) break;
        if (!Skip()) break;
        const std::string value = Token(';');
        if (!Expect(';')) break;
        handler(key, value);
    }
    Expect('}');
}

void TScrollDataReader::ReadDirective() {
    ++bufferPos_;  // "#"
    const std::string_view b = Buffer();
    if (b.substr(0, 7) != "include") return;  // the rest is read as the next item
    const std::string name(Trim(b.substr(7)));
    ClearBuffer();
    ReadScrollDataFile(expander_.ExpandPath(name));
}

void TScrollDataReader::ReadDefaultBlock() {
    ReadPropertyList([this](const std::string& key, const std::string& value) {
        ApplyProperty(key, value, model_.DefaultSclDat, *this);
    });
}

void TScrollDataReader::ReadElseBlock() {
    if (model_.ElseSclDat.Path == kElsePathRead) {
        // Only the first else block of a reading counts.
        ReadPropertyList([](const std::string&, const std::string&) {});
        return;
    }
    model_.ElseSclDat.Path = kElsePathRead;
    ResetToDefaults(model_.DefaultSclDat, &model_.ElseSclDat);
    ReadPropertyList([this](const std::string& key, const std::string& value) {
        ApplyProperty(key, value, model_.ElseSclDat, *this);
    });
}

void TScrollDataReader::ReadNamedBlock(const std::string& header) {
    std::string name;
    const std::size_t open = header.find('(');
    if (open != std::string::npos) {
        for (std::size_t i = open + 1; i < header.size(); ++i) {
            const char c = header[i];
            if (c == '\\') {
                if (++i < header.size()) name += header[i];
            } else if (c == ')') {
                break;
            } else {
                name += c;
            }
        }
    }
    TNamedRules& named = *namedRules_;
    TNamedRuleProps& props = named.Items(named.Add(name)).Props;
    TSclDat scratch = model_.DefaultSclDat;
    ReadPropertyList([&](const std::string& key, const std::string& value) {
        // Applied once here so that bad values are reported where they are written.
        if (ApplyProperty(key, value, scratch, *this)) props.Add(key, value);
    });
}

void TScrollDataReader::ReadRuleBlock(const std::string& header, TRuleSource source) {
    std::string code = CompileWindowPath(header, *this);
    TSclDat& rule = model_.SclDats.Items(model_.SclDats.Add(std::move(code), std::move(source)));
    // Also a rule without "{" gets the current defaults.
    ResetToDefaults(model_.DefaultSclDat, &rule);
    ReadPropertyList([&](const std::string& key, const std::string& value) {
        ApplyProperty(key, value, rule, *this);
    });
}

void ReloadScrollData(TScrollDataReader& reader, TRuleModel& model, const std::string& fileName, bool wasEnabled,
                      const std::function<bool(bool)>& setEnabled) {
    if (!setEnabled(false)) return;
    model.KnowWindows.Clear();
    try {
        reader.LoadScrollData(fileName);
    } catch (...) {
        setEnabled(wasEnabled);
        throw;
    }
    setEnabled(wasEnabled);
}

}  // namespace flicko

// The scroll-data file reader: lexical rules, blocks, directives and
// includes. One reader writes into one TRuleModel; it always knows the file
// and line it stands at, also inside included files.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/FlError.h"
#include "rules/ReadContext.h"
#include "rules/SclDats.h"
#include "base/PathExpander.h"

namespace flicko {

class TScrollDataReader : private TReadContext {
public:
    // Include chains deeper than this are refused with a report.
    static constexpr std::size_t kMaxIncludeDepth = 1000;

    TScrollDataReader(TRuleModel& model, IReadErrorReport& report, const IPathExpander& expander);
    ~TScrollDataReader() override;

    // Reads fileName from scratch into the model. False when the file does
    // not exist or cannot be read (reported; the previous rules stay in
    // force: the file is read before the model is emptied). An aborting
    // error (EDatReadError, a Calc or key-name error) is raised again after
    // the files are closed and the named rules freed; the rules read so far
    // stay in the model.
    bool LoadScrollData(const std::string& fileName);

    // Reads one further file into the current model (the include
    // directive). A missing or unreadable file is reported and skipped; a
    // file already being read (a circular include) is reported and skipped;
    // so is every file past the reading's budget (TReadBudget), reported once.
    void ReadScrollDataFile(const std::string& path);

    // The place the reader stands at (for reports).
    const std::string& CurrentFileName() const { return fileName_; }
    int LineNumber() const { return line_; }

    // Where the last aborting error was raised.
    const std::string& AbortFileName() const { return abortFileName_; }
    int AbortLine() const { return abortLine_; }
    // Every file the last LoadScrollData opened or looked for, the file
    // itself first, then its includes in reading order: what a watch for
    // changes has to cover.
    const std::vector<std::string>& FilesRead() const { return filesRead_; }

private:
    struct Frame;

    // TReadContext
    void ReportReadError(const std::string& message) override;
    std::string FileLineText() const override;
    void Warn(const std::string& message) override;

    // Marks one reading for the report (see IReadErrorReport).
    struct ReadingScope {
        explicit ReadingScope(IReadErrorReport& r) : report(r) { report.BeginReading(); }
        ~ReadingScope() { report.EndReading(); }
        ReadingScope(const ReadingScope&) = delete;
        ReadingScope& operator=(const ReadingScope&) = delete;
        IReadErrorReport& report;
    };

    void PushFrame(const std::string& path, std::string content);
    void IncludeBudgetUsedUp(const std::string& what, const std::string& path);
    void PopFrame();
    void Run(std::size_t baseDepth);
    void ReadItem();

    bool ReadLine();
    bool Skip();
    std::string Token(char stop);
    bool Expect(char c);
    template <class Handler>
    void ReadPropertyList(Handler&& handler);

    void ReadDirective();
    void ReadDefaultBlock();
    void ReadElseBlock();
    void ReadNamedBlock(const std::string& header);
    void ReadRuleBlock(const std::string& header, TRuleSource source);

    std::string_view Buffer() const { return std::string_view(buffer_).substr(bufferPos_); }
    void TrimBuffer();
    void ClearBuffer() { buffer_.clear(); bufferPos_ = 0; }

    TRuleModel& model_;
    IReadErrorReport& report_;
    const IPathExpander& expander_;

    // ReaderState
    std::vector<std::unique_ptr<Frame>> frames_;
    std::string buffer_;
    std::size_t bufferPos_ = 0;
    bool inComment_ = false;
    std::string fileName_;
    int line_ = 0;

    std::unique_ptr<TNamedRules> namedRules_;
    bool running_ = false;
    bool abortRecorded_ = false;
    std::string abortFileName_;
    int abortLine_ = 0;
    std::vector<std::string> filesRead_;
};

// What the "ReadScrollDat" command does: switches scrolling off through
// setEnabled (nothing else happens when that fails), forgets the windows
// already pressed on, reads the file again, and switches scrolling back to
// wasEnabled — also when the reading is aborted, before the error is raised
// again to the caller.
void ReloadScrollData(TScrollDataReader& reader, TRuleModel& model, const std::string& fileName, bool wasEnabled,
                      const std::function<bool(bool)>& setEnabled);

}  // namespace flicko

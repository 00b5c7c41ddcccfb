// The program's own exceptions and the reporting of scroll-data errors.
// They carry only a message.
#pragma once

#include <stdexcept>
#include <string>

namespace flicko {

class EFlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A scroll-data error that aborts the whole reading. The message is the
// file-and-line text, a line break and the detail; the detail alone is kept
// for tools that print the place in their own way.
class EDatReadError : public EFlError {
public:
    explicit EDatReadError(const std::string& message) : EFlError(message), detail_(message) {}
    EDatReadError(const std::string& fileLineText, const std::string& detail)
        : EFlError(fileLineText + "\n" + detail), detail_(detail) {}
    const std::string& Detail() const { return detail_; }

private:
    std::string detail_;
};

// The shared block could not be created; the only fatal error at start-up.
class EFileMappingError : public EFlError {
public:
    using EFlError::EFlError;
};

// Shows an error to the user and returns: a message box in the programs, a
// line on standard error in the console checker, a recorder in tests.
class IErrorReport {
public:
    virtual ~IErrorReport() = default;
    // Caption "Flicko ERROR", warning icon, OK, no owner window.
    virtual void ShowErrorBox(const std::string& text) = 0;
};

// Adds the continuing report of a scroll-data reading error: the reading goes
// on after it returns. fileName and line are where the reader stood.
class IReadErrorReport : public IErrorReport {
public:
    virtual void ReportReadError(const std::string& fileName, int line, const std::string& message) = 0;
    // Bracket one reading of the rules (readings may nest: an include read
    // on its own inside a reading is part of it), so that a report can tell
    // the reports of one reading from those of the next.
    virtual void BeginReading() {}
    virtual void EndReading() {}
};

// "FileName: <file>\nLine: <line>"
std::string FileLineText(const std::string& fileName, int line);

// The text of the Yes/No box of a continuing report.
std::string ReadErrorBoxText(const std::string& fileName, int line, const std::string& message);

}  // namespace flicko

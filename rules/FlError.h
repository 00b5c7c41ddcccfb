// The program's own exceptions. They carry only a message.
#pragma once

#include <stdexcept>
#include <string>

namespace flicko {

class EFlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A scroll-data error that aborts the whole reading.
class EDatReadError : public EFlError {
public:
    using EFlError::EFlError;
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

}  // namespace flicko

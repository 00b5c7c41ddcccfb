// Expansion of the path macros ("<appdir>" and the others) and of
// environment variables in paths given by the settings and scroll-data files.
#pragma once

#include <string>
#include <string_view>

#include "base/PathExpander.h"
#include "platform/Environment.h"

namespace flicko {

// The directories behind the macros. WinDir, SysDir, WorkDir and AppDir carry
// no trailing backslash ("X:" for a drive's root).
struct TDirs {
    std::string WinDir;
    std::string SysDir;
    std::string WorkDir;
    std::string AppDir;
    std::string AppPath;
    std::string UserName;
};

// One per program. The directories are queried at the first expansion and
// kept, so a later change of the current directory leaves "<workdir>" alone;
// only "<apppath>" is asked for at every expansion. A failed query throws
// std::runtime_error with the system's message and leaves the record
// unfilled, so the next expansion tries again.
class TPathMacros : public IPathExpander {
public:
    explicit TPathMacros(Environment& env) : env_(env) {}

    // Environment variables first, then "<workdir>", "<appdir>", "<windir>",
    // "<sysdir>", "<username>", "<apppath>" in that order, each without case.
    std::string ExpandPath(std::string_view path) const override;

    void FillDirs() const;
    bool Filled() const { return filled_; }
    const TDirs& Dirs() const { return dirs_; }

    std::string WinDir() const;
    std::string SysDir() const;
    std::string WorkDir() const;
    std::string AppPath() const;
    std::string AppDir() const;
    std::string UserName() const;
    // %APPDATA% when it holds a full path, else the system's folder for it;
    // throws when neither is there.
    std::string UserAppData() const;

private:
    Environment& env_;
    // Filled lazily from a const ExpandPath: the cache does not change what
    // an expansion means.
    mutable TDirs dirs_;
    mutable bool filled_ = false;
};

// The folder part of a path: cut at the last "\" or ":", keeping the "\" of
// a root ("X:\", "\\"). Bytes that follow a lead byte of the ANSI code page
// are never separators.
std::string ExtractFileDir(std::string_view path, Environment& env);
// Drops one trailing "\" that is a separator.
std::string ExcludeTrailingBackslash(std::string_view path, Environment& env);

}  // namespace flicko

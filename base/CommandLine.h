// Command lines built from templates with numbered placeholders: the
// editor of the settings and scroll-data files, the debugger started after
// a reading error, the programs of the tray menu.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace flicko {

// Replaces every "%1" ... "%N" of tmpl by args[0] ... args[N-1] in one pass:
// an inserted argument is never scanned again, so an argument that itself
// contains "%1" stays as written. The longest number matches first ("%10"
// before "%1"); a number beyond args stays as written.
std::string FillPlaceholders(std::string_view tmpl, const std::vector<std::string>& args);

// The editor command for a file: every "%1" of editor becomes the file;
// without "%1" the file follows after one blank.
std::string EditCommandLine(std::string_view editor, std::string_view file);

// The debugger command after a reading error: "%1" is the file and "%2" the
// line; without "%1" the file follows after one blank (and "%2" stays).
std::string DebuggerCommand(std::string_view debuggerTemplate, std::string_view fileName, int line);

}  // namespace flicko

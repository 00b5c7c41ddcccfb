// The console rules checker: reads a scroll-data file as the programs do
// and prints every report and every resulting rule.
#pragma once

#include <iosfwd>
#include <string>

#include "base/PathExpander.h"

namespace flicko {

// Reports go to err as "FILE:LINE: MESSAGE" (line breaks of the message
// become blanks), warnings as "FILE:LINE: warning: MESSAGE"; the rules go to
// out in reading order, then the else rule when an else block was read.
// Returns 0 when nothing was reported, 1 when only continuing reports or
// warnings were made, 2 when the reading was aborted or the file is missing.
int CheckScrollDataFile(const std::string& path, const IPathExpander& expander, std::ostream& out,
                        std::ostream& err);

}  // namespace flicko

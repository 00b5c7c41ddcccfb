// The settings part of the console checker: reads a settings chain the way
// the resident program does and prints what it ends up with.
#pragma once

#include <iosfwd>
#include <string>

#include "platform/Environment.h"
#include "platform/ProfileFile.h"

namespace flicko {

// Prints "Section.Key=value" lines in the order of the settings keys, then
// "LeftButton[i]=KIND|Text" and "RightButton[i]=KIND|Text" for the item lists.
// Messages go to err, one line each. Returns 0, 1 when something was
// reported, or 2 when file cannot be opened. The environment and the profile functions are the program's
// choice: the system's in fcheck, fakes or the native ones in tests.
int RunIniCheck(const std::string& file, std::ostream& out, std::ostream& err, Environment& env,
                ProfileFiles& profiles);

}  // namespace flicko

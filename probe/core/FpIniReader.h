// The probe's settings file: its [Files] (or those of the resident
// program's settings file it names), the form's geometry and the checks.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ProfileFile.h"
#include "platform/Types.h"
#include "probe/core/ProbeChecks.h"
#include "base/FlError.h"
#include "settings/FlIniFile.h"
#include "settings/Files.h"
#include "settings/PathMacros.h"

namespace flicko {

// The same readers and value rules as the resident program's file, and one
// writer more.
class TFpIniFile : public TFlIniFile {
public:
    using TFlIniFile::TFlIniFile;
    // Seconds with "." as the decimal separator in every locale, so the file
    // reads back the same on any machine.
    bool WriteMSec(const std::string& section, const std::string& key, Millis ms);
    bool WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
};

// Every place and size read from the file lies within this many pixels of
// zero: far beyond any desktop, yet small enough that a sum of two of them
// and the squared distances the placement compares stay inside their types.
inline constexpr std::int32_t kMaxFormCoordinate = 1 << 20;

struct TFpGeometry {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 600;
    std::int32_t Height = 600;
    std::int32_t WindowsTreeWidth = 278;
    std::int32_t ScrollDataHeight = 236;

    Rect FormRect() const { return Rect{Left, Top, Left + Width, Top + Height}; }
};

class TFpSettings {
public:
    TFpSettings(ProfileFiles& profiles, const IPathExpander& paths, IErrorReport& errors)
        : profiles_(profiles), paths_(paths), errors_(errors) {}

    TFiles& Files() { return files_; }
    const TFiles& Files() const { return files_; }
    TFpGeometry& Geometry() { return geometry_; }
    TProbeChecks& Checks() { return checks_; }
    const TProbeChecks& Checks() const { return checks_; }

    // The program path and the default files next to the program.
    void SetDefaultPaths(const TPathMacros& macros);
    // Reads the chain that starts at Files().Ini, following each file's
    // FlickoIni into the resident program's chain for [Files]. Afterwards
    // Files().Ini names the last file of the probe's chain.
    void ReadProbeSettings();
    // The file that holds the rules file's name for both programs: the last
    // resident settings file the chain reached, else the probe's own last
    // file. The user's own rules file is named there.
    const std::string& RulesSettingsFile() const {
        return flickoLast_.empty() ? files_.Ini : flickoLast_;
    }
    // Geometry and checks into Files().Ini; [Files] is never written.
    bool WriteProbeSettings();

private:
    void ReadFlickoFiles(std::string flickoIni);

    ProfileFiles& profiles_;
    const IPathExpander& paths_;
    IErrorReport& errors_;
    TFiles files_;
    TFpGeometry geometry_;
    TProbeChecks checks_;
    std::string readList_;       // the probe's own chain
    std::string flickoReadList_;  // the resident program's chain of one FlickoIni
    std::string flickoLast_;      // the last file of the last resident chain
};

}  // namespace flicko

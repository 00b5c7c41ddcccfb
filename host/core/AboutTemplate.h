// The About dialog without the system: its layout from the system's font and
// frame metrics, its texts in English or Japanese, the in-memory dialog
// template (the program has no dialog resources) and the file list.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "settings/Files.h"

namespace flicko {

// What the layout is computed from, read afresh at each opening.
struct TAboutSystemMetrics {
    int FontHeight = 0;      // lfHeight of the message font (negative: character height)
    std::u16string Face;     // its face name
    int LogPixelsY = 96;     // the DPI FontHeight is in (the point size's scale)
    int CaptionHeight = 0;   // iCaptionHeight
    int ScrollHeight = 0;    // iScrollHeight
    int DlgFrame = 0;        // SM_CXDLGFRAME
    // The dialog font's average character width as the dialog manager
    // takes it (a horizontal unit is a quarter of it), and the widest line
    // the dialog shows, in pixels; 0 when not measured.
    int AverageCharWidth = 0;
    int TextPixels = 0;
    // The scale of the monitor the dialog opens on: the icon and the widest
    // the dialog may grow are 48 and 480 pixels at 96 dpi.
    int Dpi = 96;
};

// Dialog template units; 8 units per text line whatever the font.
struct TAboutLayout {
    int PointSize = 0;
    std::u16string Face;
    int Line = 8;
    int Margin = 0;
    int Icon = 0;
    int DialogWidth = 0;
    int TextWidth = 0;
    int ButtonHeight = 0;
    int Frame = 0;
    int Caption = 0;
    int ScrollBar = 0;
};

// The system's MulDiv: the product in 64 bits, rounded half away from zero;
// -1 for a zero divisor.
int MulDivRound(int number, int numerator, int denominator);

// The dialog is as wide as its widest line needs, between twice the OK
// button and 480 pixels at 96 dpi (where the file list scrolls across
// instead).
TAboutLayout ComputeAboutLayout(const TAboutSystemMetrics& metrics);

// Item ids of the dialog.
enum : std::uint16_t {
    kAboutIconId = 32768,
    kAboutNameId = 32769,
    kAboutVersionId = 32770,
    kAboutFilesId = 32771,
    kAboutOkId = 1,
};

struct TAboutTexts {
    std::u16string Title;
    std::u16string ProductName;
    std::u16string Versions;  // the version line, CR LF, the copyright line
};

// The Japanese texts are kept as UTF-16 here, so they read the same on any
// system code page.
TAboutTexts AboutTexts(bool japanese, const std::u16string& productVersion, const std::u16string& copyright);

// A DLGTEMPLATE with its five items, sized from its texts: the buffer always
// holds the whole template. Bytes in the system's layout (little-endian);
// the caller copies them to DWORD-aligned memory.
std::vector<std::uint8_t> BuildAboutTemplate(const TAboutLayout& layout, const TAboutTexts& texts);

// The file list box: the program, the hook library, the settings file, the
// scroll-data file and the utility, one per line joined with CR LF; the
// program files with ": " and their FileVersion (empty when unreadable).
std::string AboutFileList(const TFiles& files, const std::function<std::string(const std::string&)>& fileVersion);

}  // namespace flicko

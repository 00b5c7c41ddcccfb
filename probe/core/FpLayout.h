// Where the probe form's controls go: the panels aligned top, left, client
// and bottom, the two splitters between them, and the 10-pixel minimum the
// splitters keep. Sizes in, rectangles out; the form only moves windows.
//
// The constants are pixels at 96 dpi; on a monitor of another scale the
// heads, splitters and minimums grow with it (the bevels are drawn 2 pixels
// wide at every scale). Every size passed in and out is in pixels of the
// form's monitor.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Types.h"
#include "probe/core/FpIniReader.h"

namespace flicko {

constexpr std::int32_t kSplitterMinSize = 10;
constexpr std::int32_t kSplitterThickness = 3;
constexpr std::int32_t kHeadHeight = 25;    // PnlSystem, the two heads, the foot
constexpr std::int32_t kPanelBevel = 2;     // raised inner and lowered outer bevel
constexpr std::int32_t kFootRows = 2;       // the foot: the Scroll check, then the rule actions

struct TFpLayout {
    // In the form's client area.
    Rect PnlSystem, PnlWndsTree, Splitter1, PnlSclDat;
    // In PnlWndsTree.
    Rect PnlWndsTreeHead, TreWndsTree;
    // In PnlSclDat.
    Rect PnlSclDatHead, TxtSclDat, Splitter2, TxtSclDatRes, PnlSclDatFoot;
    // The sizes in force after the minimums.
    std::int32_t WindowsTreeWidth = 0;
    std::int32_t ScrollDataHeight = 0;
};

// The whole form for a client area and the two sizes the user chose. A side
// panel that would get narrower than the minimum is given the minimum, the
// tree panel yielding first; a form too small for everything cuts off what
// does not fit, never giving a control a negative size.
TFpLayout LayoutProbeForm(std::int32_t clientWidth, std::int32_t clientHeight, std::int32_t treeWidth,
                          std::int32_t scrollDataHeight, int dpi = 96);

// Where a splitter drag may take the size: neither neighbour below the
// minimum. The first for Splitter1 (the tree panel's width in the form's
// client width), the second for Splitter2 (TxtSclDat's height in
// PnlSclDat's height).
std::int32_t ClampTreeWidth(std::int32_t wanted, std::int32_t clientWidth, int dpi = 96);
std::int32_t ClampScrollDataHeight(std::int32_t wanted, std::int32_t panelHeight, int dpi = 96);

// The form as the system describes it when it closes (GetWindowRect,
// GetWindowPlacement, and the monitor the form is on).
struct TFormPlacement {
    Rect Window;          // screen coordinates
    bool Normal = true;   // neither minimised nor maximised
    Rect NormalPosition;  // rcNormalPosition: workspace coordinates
    Rect Monitor;         // rcMonitor of the form's monitor
    Rect Work;            // rcWork of the same monitor
};

// The form's place to keep, in screen coordinates like every place the
// settings hold: a minimised or maximised form keeps the place it would be
// restored to, whose workspace coordinates count from the work area's
// corner (they differ whenever a taskbar sits on the top or the left).
Rect FormRectToSave(const TFormPlacement& placement);

// Where a kept place opens, given the work areas of the monitors: as it is
// when it overlaps one of them; otherwise moved into the nearest one, and
// cut to its size when larger, so that a form kept on a monitor that has
// gone stays reachable.
Rect FormRectOnMonitors(Rect saved, const std::vector<Rect>& workAreas);

// fprobe.ini keeps the form's size and the two pane sizes as pixels at 96
// dpi, so a kept form opens the same size on a monitor of any scale; its
// place (Left, Top) is a screen position and stays in pixels.
TFpGeometry GeometryAtDpi(const TFpGeometry& kept, int dpi);
TFpGeometry GeometryToKeep(const TFpGeometry& shown, int dpi);

}  // namespace flicko

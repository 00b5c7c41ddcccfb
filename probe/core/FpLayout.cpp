#include "probe/core/FpLayout.h"

#include <algorithm>

#include "base/Dpi.h"

namespace flicko {

namespace {

// A rectangle that never turns inside out.
Rect R(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    return Rect{l, t, std::max(l, r), std::max(t, b)};
}

// The layout's constants in pixels at a scale.
struct TScaled {
    explicit TScaled(int dpi)
        : Min(ScaleToDpi(kSplitterMinSize, dpi)),
          Splitter(ScaleToDpi(kSplitterThickness, dpi)),
          Head(ScaleToDpi(kHeadHeight, dpi)) {}
    std::int32_t Min, Splitter, Head;
};

}  // namespace

std::int32_t ClampTreeWidth(std::int32_t wanted, std::int32_t clientWidth, int dpi) {
    const TScaled k(dpi);
    const std::int32_t most = clientWidth - k.Splitter - k.Min;
    return std::max(k.Min, std::min(wanted, most));
}

std::int32_t ClampScrollDataHeight(std::int32_t wanted, std::int32_t panelHeight, int dpi) {
    const TScaled k(dpi);
    const std::int32_t most = panelHeight - 2 * kPanelBevel - (1 + kFootRows) * k.Head - k.Splitter - k.Min;
    return std::max(k.Min, std::min(wanted, most));
}

TFpLayout LayoutProbeForm(std::int32_t w, std::int32_t h, std::int32_t treeWidth, std::int32_t scrollDataHeight,
                          int dpi) {
    const TScaled k(dpi);
    const auto PanelWidthFor = [&](std::int32_t tree, std::int32_t client) { return client - tree - k.Splitter; };
    TFpLayout l;
    l.PnlSystem = R(0, 0, w, k.Head);

    std::int32_t tree = std::max(treeWidth, k.Min);
    if (PanelWidthFor(tree, w) < k.Min) tree = std::max(k.Min, w - k.Splitter - k.Min);
    const std::int32_t panel = std::max(k.Min, PanelWidthFor(tree, w));
    l.WindowsTreeWidth = tree;

    const std::int32_t top = k.Head;
    const std::int32_t bottom = std::max(top, h);
    l.PnlWndsTree = R(0, top, tree, bottom);
    l.Splitter1 = R(tree, top, tree + k.Splitter, bottom);
    l.PnlSclDat = R(tree + k.Splitter, top, tree + k.Splitter + panel, bottom);

    const std::int32_t b = kPanelBevel;
    const std::int32_t ph = bottom - top;
    l.PnlWndsTreeHead = R(b, b, tree - b, b + k.Head);
    l.TreWndsTree = R(b, b + k.Head, tree - b, ph - b);

    // TxtSclDat keeps its height when the form shrinks; the state view
    // below it takes what is left.
    const std::int32_t data = std::max(scrollDataHeight, k.Min);
    l.ScrollDataHeight = data;
    const std::int32_t right = panel - b;
    const std::int32_t footTop = std::max(b + k.Head, ph - b - kFootRows * k.Head);
    l.PnlSclDatHead = R(b, b, right, b + k.Head);
    l.PnlSclDatFoot = R(b, footTop, right, ph - b);
    const std::int32_t dataTop = b + k.Head;
    l.TxtSclDat = R(b, dataTop, right, std::min(dataTop + data, footTop));
    const std::int32_t splitTop = l.TxtSclDat.bottom;
    l.Splitter2 = R(b, splitTop, right, std::min(splitTop + k.Splitter, footTop));
    l.TxtSclDatRes = R(b, l.Splitter2.bottom, right, footTop);
    return l;
}

Rect FormRectToSave(const TFormPlacement& p) {
    if (p.Normal) return p.Window;
    const std::int32_t dx = p.Work.left - p.Monitor.left;
    const std::int32_t dy = p.Work.top - p.Monitor.top;
    const Rect& n = p.NormalPosition;
    return Rect{n.left + dx, n.top + dy, n.right + dx, n.bottom + dy};
}

namespace {

bool Overlaps(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::int64_t DistanceSquared(const Rect& a, const Rect& b) {
    const std::int64_t dx = std::max({0, b.left - a.right, a.left - b.right});
    const std::int64_t dy = std::max({0, b.top - a.bottom, a.top - b.bottom});
    return dx * dx + dy * dy;
}

}  // namespace

Rect FormRectOnMonitors(Rect saved, const std::vector<Rect>& workAreas) {
    if (workAreas.empty()) return saved;
    const Rect* nearest = &workAreas.front();
    for (const Rect& w : workAreas) {
        if (Overlaps(saved, w)) return saved;
        if (DistanceSquared(saved, w) < DistanceSquared(saved, *nearest)) nearest = &w;
    }
    const Rect& w = *nearest;
    const std::int32_t width = std::min(saved.Width(), w.Width());
    const std::int32_t height = std::min(saved.Height(), w.Height());
    const std::int32_t left = std::clamp(saved.left, w.left, w.right - width);
    const std::int32_t top = std::clamp(saved.top, w.top, w.bottom - height);
    return Rect{left, top, left + width, top + height};
}

namespace {

TFpGeometry ScaleSizes(TFpGeometry g, std::int32_t (*scale)(std::int32_t, int), int dpi) {
    g.Width = scale(g.Width, dpi);
    g.Height = scale(g.Height, dpi);
    g.WindowsTreeWidth = scale(g.WindowsTreeWidth, dpi);
    g.ScrollDataHeight = scale(g.ScrollDataHeight, dpi);
    return g;
}

}  // namespace

TFpGeometry GeometryAtDpi(const TFpGeometry& kept, int dpi) { return ScaleSizes(kept, ScaleToDpi, dpi); }
TFpGeometry GeometryToKeep(const TFpGeometry& shown, int dpi) { return ScaleSizes(shown, ScaleFromDpi, dpi); }

}  // namespace flicko

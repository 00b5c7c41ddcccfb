// The window tree of the probe: the window under the cursor, its ancestors
// and their direct children, as node texts.
//
// The tree is a plain model; the form mirrors it into its tree view. Nodes
// carry only their texts (a window node's handle is read back from its
// text, so an expanded node needs nothing else), plus the view state the
// build asks for: which nodes are expanded and which one is selected.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Text.h"
#include "platform/Desktop.h"

namespace flicko {

struct TTreeNode {
    std::string Text;
    std::vector<std::unique_ptr<TTreeNode>> Children;
    bool Expanded = false;

    TTreeNode& Add(std::string text);
};

// Texts built from window data of 260 characters or more are cut to 257
// and "..", so no line of the tree outgrows what a tree item shows; the cut
// falls before a double-byte character that would not fit whole.
std::string ClipNodeText(std::string text, const LeadByteTest& isLead);

// "hWnd = " + the handle as 8 upper-case hexadecimal digits + " : " + class.
std::string WindowNodeText(Desktop& desktop, Hwnd w);
// The handle from characters 8 to 15 of a window node's text; kNoWindow
// when they are no hexadecimal number.
Hwnd HandleFromNodeText(std::string_view text);
// "Rect = (Left:%d, Top:%d, Right:%d, Bottom:%d)", -1 each when unreadable.
std::string RectNodeText(Desktop& desktop, Hwnd w);

class TWindowTree {
public:
    explicit TWindowTree(Desktop& desktop) : desktop_(desktop) {}

    // The pointed window w and all its ancestors; the outermost at the top.
    void BuildWindowTree(Hwnd w);
    // Fills a placeholder window node once; true when it did.
    bool ExpandWindowNode(TTreeNode& node);

    const std::vector<std::unique_ptr<TTreeNode>>& Roots() const { return roots_; }
    // The node of the pointed window (text "*..."); null before a build.
    const TTreeNode* Selected() const { return selected_; }
    bool Ready() const { return ready_; }

    // The whole tree as text, one node a line, two blanks per level.
    std::string ToText() const;

private:
    void AddWindowProperties(TTreeNode& n, Hwnd w);
    TTreeNode& AddChildWindows(TTreeNode& n, Hwnd w);

    Desktop& desktop_;
    std::vector<std::unique_ptr<TTreeNode>> roots_;
    TTreeNode* selected_ = nullptr;
    bool ready_ = false;
};

}  // namespace flicko

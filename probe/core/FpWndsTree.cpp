#include "probe/core/FpWndsTree.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "base/HandleValue.h"
#include "platform/WinConst.h"
#include "base/Text.h"
#include "rules/StrAndWindowstyle.h"

namespace flicko {

namespace {

constexpr std::size_t kClipAt = 260;
constexpr std::size_t kClipKeep = 257;

std::string Hex8(Hwnd w) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(HandleToValue32(w)));
    return buf;
}

void AppendText(const TTreeNode& n, int depth, std::string& out) {
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
    out += n.Text;
    out += '\n';
    for (const auto& c : n.Children) AppendText(*c, depth + 1, out);
}

}  // namespace

TTreeNode& TTreeNode::Add(std::string text) {
    Children.push_back(std::make_unique<TTreeNode>());
    Children.back()->Text = std::move(text);
    return *Children.back();
}

std::string ClipNodeText(std::string text, const LeadByteTest& isLead) {
    if (text.size() >= kClipAt) {
        text.resize(HeadAtCharBoundary(text, kClipKeep, isLead).size());
        text += "..";
    }
    return text;
}

LeadByteTest LeadBytesOf(Desktop& desktop) {
    return [&desktop](unsigned char byte) { return desktop.IsDbcsLeadByte(byte); };
}

std::string WindowNodeText(Desktop& desktop, Hwnd w) {
    return ClipNodeText("hWnd = " + Hex8(w) + " : " + desktop.ClassName(w), LeadBytesOf(desktop));
}

Hwnd HandleFromNodeText(std::string_view text) {
    if (text.size() < 15) return kNoWindow;
    std::uint32_t value = 0;
    for (char c : text.substr(7, 8)) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else {
            return kNoWindow;
        }
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return HandleFromValue32(value);
}

std::string RectNodeText(Desktop& desktop, Hwnd w) {
    Rect r;
    if (!desktop.GetWindowRect(w, r)) r = Rect{-1, -1, -1, -1};
    char buf[128];
    std::snprintf(buf, sizeof buf, "Rect = (Left:%d, Top:%d, Right:%d, Bottom:%d)", static_cast<int>(r.left),
                  static_cast<int>(r.top), static_cast<int>(r.right), static_cast<int>(r.bottom));
    return ClipNodeText(buf, LeadBytesOf(desktop));
}

void TWindowTree::AddWindowProperties(TTreeNode& n, Hwnd w) {
    TTreeNode& props = n.Add("property");
    const LeadByteTest isLead = LeadBytesOf(desktop_);
    props.Add(ClipNodeText("Text = " + desktop_.WindowText(w), isLead));
    props.Add(RectNodeText(desktop_, w));
    props.Add(ClipNodeText("Style = " + StyleToText(desktop_.Style(w), desktop_.ClassName(w)), isLead));
    TTreeNode& list = props.Add("WndowProperty = ");
    for (auto& name : desktop_.WindowPropertyNames(w)) list.Add(ClipNodeText(std::move(name), isLead));
    // The owner, for Process rules; "?" when the process cannot be opened.
    const std::uint32_t pid = desktop_.WindowProcessId(w);
    std::string image;
    if (pid == 0 || !desktop_.ProcessImageName(pid, image)) image = "?";
    props.Add(ClipNodeText("Process = " + image + " (" + std::to_string(pid) + ")", isLead));
}

TTreeNode& TWindowTree::AddChildWindows(TTreeNode& n, Hwnd w) {
    TTreeNode& branch = n.Add("child");
    for (Hwnd c : desktop_.ChildWindows(w)) {
        if (desktop_.GetParent(c) != w) continue;
        TTreeNode& node = branch.Add(WindowNodeText(desktop_, c));
        node.Add("property");
        node.Add("child");
    }
    return branch;
}

void TWindowTree::BuildWindowTree(Hwnd w) {
    ready_ = false;
    roots_.clear();
    selected_ = nullptr;
    TTreeNode* previous = nullptr;
    TTreeNode* first = nullptr;
    // A parent query that comes back to a window already on the chain
    // (possible with owners) would never end; the chain stops there.
    std::vector<Hwnd> seen;
    while (w != kNoWindow && std::find(seen.begin(), seen.end(), w) == seen.end()) {
        seen.push_back(w);
        roots_.push_back(std::make_unique<TTreeNode>());
        TTreeNode* current = roots_.back().get();
        current->Text = WindowNodeText(desktop_, w);
        if (!first) first = current;
        AddWindowProperties(*current, w);
        TTreeNode& children = AddChildWindows(*current, w);

        if (previous) {
            for (auto& slot : children.Children) {
                if (slot->Text != previous->Text) continue;
                // The previous window takes its placeholder's place.
                auto at = std::find_if(roots_.begin(), roots_.end(),
                                       [previous](const auto& r) { return r.get() == previous; });
                slot = std::move(*at);
                roots_.erase(at);
                break;
            }
        }
        previous = current;
        w = desktop_.GetParent(w);
    }
    if (first) {
        first->Text = "*" + first->Text;
        first->Expanded = true;
        for (auto& c : first->Children) c->Expanded = true;
        selected_ = first;
    }
    ready_ = true;
}

bool TWindowTree::ExpandWindowNode(TTreeNode& n) {
    if (!ready_ || !StartsWithText(n.Text, "hwnd")) return false;
    if (n.Children.size() < 2 || n.Children[0]->Text != "property" || n.Children[1]->Text != "child" ||
        !n.Children[0]->Children.empty()) {
        return false;
    }
    const Hwnd w = HandleFromNodeText(n.Text);
    n.Children.erase(n.Children.begin(), n.Children.begin() + 2);
    // Both branches come first, in their usual order, ahead of anything else.
    std::vector<std::unique_ptr<TTreeNode>> rest = std::move(n.Children);
    n.Children.clear();
    AddWindowProperties(n, w);
    AddChildWindows(n, w);
    for (auto& r : rest) n.Children.push_back(std::move(r));
    return true;
}

std::string TWindowTree::ToText() const {
    std::string out;
    for (const auto& r : roots_) AppendText(*r, 0, out);
    return out;
}

}  // namespace flicko

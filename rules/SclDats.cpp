#include "rules/SclDats.h"

#include <utility>

namespace flicko {

TSclDat BuiltInSclDat() {
    TSclDat d;
    d.IsScroll = true;
    d.IsInertia = true;
    d.SetCaret = false;
    d.SetCapture = false;
    d.SendTo = kPointedPathCode;
    d.CursorPos = TCursorPos::Current;
    d.ButtonUpNoScrolled = kDefaultButtonUpNoScrolled;
    for (TAxSclDat* ax : {&d.H, &d.V}) {
        ax->IsScroll = true;
        ax->Method = TScrollMethod::scrollline;
        ax->ScrollWidthUnit = TScrollWidthUnit::dot;
        ax->ScrollStep = 1;
        ax->ScrollStepUnit = TScrollStepUnit::dot;
        ax->ScrollBar = kPointedPathCode;
    }
    d.H.ScrollWidth = 6.0f;
    d.H.ScrollBarType = TScrollBarType::Horizontal;
    d.V.ScrollWidth = 12.0f;
    d.V.ScrollBarType = TScrollBarType::Vertical;
    return d;
}

int TSclDats::Add(std::string path, TRuleSource source) {
    auto rule = std::make_unique<TSclDat>();
    rule->Path = std::move(path);
    items_.push_back(std::move(rule));
    sources_.push_back(std::move(source));
    return Count() - 1;
}

int TNamedRules::Add(std::string name) {
    auto rule = std::make_unique<TNamedRule>();
    rule->Name = std::move(name);
    items_.push_back(std::move(rule));
    return Count() - 1;
}

TNamedRuleProps* TNamedRules::Find(std::string_view name) {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        if ((*it)->Name == name) return &(*it)->Props;
    }
    return nullptr;
}

int TKnowWindows::Add(Hwnd window) {
    items_.push_back(TKnowWindow{window, nullptr, false});
    return Count() - 1;
}

void ResetToDefaults(const TSclDat& defaults, TSclDat* rule) {
    if (!rule) return;
    rule->IsScroll = defaults.IsScroll;
    rule->SendTo = defaults.SendTo;
    rule->CursorPos = defaults.CursorPos;
    rule->IsInertia = defaults.IsInertia;
    rule->SetCaret = defaults.SetCaret;
    rule->SetCapture = defaults.SetCapture;
    rule->ButtonDown = defaults.ButtonDown;
    rule->ButtonUpNoScrolled = defaults.ButtonUpNoScrolled;
    rule->ButtonUpScrolled = defaults.ButtonUpScrolled;
    rule->H = defaults.H;
    rule->V = defaults.V;
}

int TRuleModel::KnownWindowIndex(Hwnd window) const {
    for (int i = 0; i < KnowWindows.Count(); ++i) {
        if (KnowWindows.Items(i).Window == window) return i;
    }
    return -1;
}

int TRuleModel::FindRule(Hwnd window, IPathResolver& resolver) const {
    for (int i = SclDats.Count() - 1; i >= 0; --i) {
        const TSclDat& rule = SclDats.Items(i);
        if (resolver.ResolveWindowPath(window, rule.Path, rule) != kNoWindow) return i;
    }
    return -1;
}

const TKnowWindow& TRuleModel::ChooseRule(Hwnd window, IPathResolver& resolver) {
    int i = KnownWindowIndex(window);
    if (i >= 0) return KnowWindows.Items(i);
    // Evaluate the rules before adding the entry: a resolver that throws
    // leaves no half-made entry behind. All the rules share one look-up of
    // each process, which the entry then keeps for the window's presses.
    TProcessNames processes;
    int found = -1;
    {
        TProcessNamesScope scope(resolver, processes);
        found = FindRule(window, resolver);
    }
    const TSclDat* rule = found >= 0 ? &SclDats.Items(found) : &ElseSclDat;
    i = KnowWindows.Add(window);
    TKnowWindow& entry = KnowWindows.Items(i);
    entry.SclDat = rule;
    entry.IsScroll = rule->IsScroll;
    entry.Processes = std::move(processes);
    return entry;
}

const TRuleSource* TRuleModel::SourceOf(const TSclDat* rule) const {
    if (rule == &ElseSclDat) return ElseSclDat.Path == kElsePathRead ? &ElseSource : nullptr;
    for (int i = 0; i < SclDats.Count(); ++i) {
        if (&SclDats.Items(i) == rule) return &SclDats.Source(i);
    }
    return nullptr;
}

}  // namespace flicko

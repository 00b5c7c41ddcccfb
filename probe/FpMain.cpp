#include "platform/win32/WindowsInclude.h"

#include "probe/FpMain.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <exception>
#include <vector>

#include "base/Dpi.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/UiFont.h"
#include "platform/win32/WindowObject.h"
#include "platform/win32/Win32Processes.h"
#include "base/CommandLine.h"
#include "probe/core/FpLayout.h"
#include "rules/SclDatReader.h"

namespace flicko {

namespace {

constexpr char kFormClass[] = "TFProbeForm";
constexpr char kPanelClass[] = "FpPanel";
constexpr LONG_PTR kBevelled = 1;

void Place(HWND w, const Rect& r) { ::MoveWindow(w, r.left, r.top, r.Width(), r.Height(), TRUE); }

Rect FromRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoA(monitor, &info)) reinterpret_cast<std::vector<Rect>*>(areas)->push_back(FromRect(info.rcWork));
    return TRUE;
}

std::vector<Rect> MonitorWorkAreas() {
    std::vector<Rect> areas;
    ::EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

}  // namespace

TFProbeForm::TFProbeForm(HINSTANCE instance) : instance_(instance) {}

TFProbeForm::~TFProbeForm() = default;

bool TFProbeForm::Create(int showCommand) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &WindowProcOf<TFProbeForm>;
    wc.hInstance = instance_;
    wc.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    if (!::RegisterClassA(&wc)) return false;
    WNDCLASSA pc{};
    pc.lpfnWndProc = &TFProbeForm::PanelProc;
    pc.hInstance = instance_;
    pc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    pc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    pc.lpszClassName = kPanelClass;
    if (!::RegisterClassA(&pc)) return false;

    form_ = ::CreateWindowExA(WS_EX_CONTROLPARENT, kFormClass, "FProbe", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                              0, 600, 600, nullptr, nullptr, instance_, this);
    if (!form_) return false;
    // Report boxes disable the form: no "loa&d" from inside a reading.
    report_.SetOwner(reinterpret_cast<Hwnd>(form_));
    StartUp();
    ::ShowWindow(form_, showCommand);
    ::UpdateWindow(form_);
    return true;
}

void TFProbeForm::StartUp() {
    // 1. The rule list and the window cache are members; the probe gets the
    // form's timer.
    static UINT_PTR timerCounter = 0;
    timerId_ = ++timerCounter;
    IProbeTimer& timer = *this;
    IProbeView& view = *this;
    probe_ = std::make_unique<TProbe>(desktop_, model_, settings_.Checks(), timer, view, report_);
    // 3. The controls, aligned by the layout; 4. the default geometry.
    CreateControls();
    ApplyGeometry();
    // An error of the path macros ends the start-up at its step; the form
    // opens with what was done so far.
    try {
        // 2. Default locations.
        settings_.SetDefaultPaths(macros_);
        // 5. The settings file chain, which may move and resize the form.
        settings_.ReadProbeSettings();
    } catch (const std::exception& e) {
        ApplyGeometry();
        report_.ShowErrorBox(e.what());
        return;
    }
    ApplyGeometry();
    // 6. The checks as read.
    const TProbeChecks c = settings_.Checks();
    SetBox(chkLBtn_, c.LeftButton);
    SetBox(chkRBtn_, c.RightButton);
    SetBox(chkMBtn_, c.MiddleButton);
    SetCheckWindowsTree(c.WindowsTree);
    SetCheckScrollData(c.ScrollDateFile);
    SetCheckScroll(c.Scroll);
    // 7. The rules, before the timer starts: a report box runs a message
    // loop, and no tick may choose from rules half read.
    LoadScrollData();
    SetCheckEnable(c.Enable);
}

HWND TFProbeForm::Panel(HWND parent, bool bevel) {
    HWND p = ::CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                               0, 0, parent, nullptr, instance_, nullptr);
    ::SetWindowLongPtrA(p, GWLP_USERDATA, bevel ? kBevelled : 0);
    return p;
}

HWND TFProbeForm::Control(HWND parent, const char* cls, const char* text, DWORD style, int id, int x, int y, int w,
                          int h) {
    const Rect at96{x, y, x + w, y + h};
    HWND c = ::CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, ScaleToDpi(x, dpi_), ScaleToDpi(y, dpi_),
                               ScaleToDpi(w, dpi_), ScaleToDpi(h, dpi_), parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    ::SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    texts_.push_back(c);
    // Controls of zero size are placed by the layout.
    if (w > 0) fixed_.push_back(TFixedControl{c, at96});
    return c;
}

void TFProbeForm::CreateControls() {
    // 12 pixels high, in a face that exists and shows the system's own
    // script: window and class names of Japanese programs show as written
    // on a Japanese system, and no control draws boxes on any other.
    dpi_ = OwnDpiOfWindow(form_);
    const LOGFONTW font = AnsiTextFont(ScaleToDpi(12, dpi_));
    font_.reset(::CreateFontIndirectW(&font));
    const DWORD check = BS_AUTOCHECKBOX | WS_TABSTOP;
    const DWORD push = BS_PUSHBUTTON | WS_TABSTOP;
    const DWORD memo = WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_TABSTOP;

    // Creation order is the tab order: on the form PnlWndsTree, PnlSystem,
    // PnlSclDat.
    pnlWndsTree_ = Panel(form_, true);
    treWndsTree_ = Control(pnlWndsTree_, WC_TREEVIEWA, "",
                           WS_BORDER | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                               TVS_SHOWSELALWAYS,
                           kIdTreWndsTree, 0, 0, 0, 0);
    ::SendMessageA(treWndsTree_, TVM_SETINDENT, static_cast<WPARAM>(ScaleToDpi(19, dpi_)), 0);
    pnlWndsTreeHead_ = Panel(pnlWndsTree_, false);
    chkWndsTree_ = Control(pnlWndsTreeHead_, "BUTTON", "check windows &Tree", check, kIdChkWndsTree, 6, 2, 133, 21);

    pnlSystem_ = Panel(form_, false);
    chkEnable_ = Control(pnlSystem_, "BUTTON", "&Check", check | BS_PUSHLIKE, kIdChkEnable, 0, 0, 65, 25);
    chkLBtn_ = Control(pnlSystem_, "BUTTON", "&Left button", check, kIdChkLBtn, 80, 0, 89, 25);
    chkRBtn_ = Control(pnlSystem_, "BUTTON", "&Right button", check, kIdChkRBtn, 176, 0, 89, 25);
    chkMBtn_ = Control(pnlSystem_, "BUTTON", "&Middle button", check, kIdChkMBtn, 272, 0, 89, 25);
    lblCursorPos_ = Control(pnlSystem_, "STATIC", "LblCursorPos", SS_LEFT | SS_NOPREFIX, kIdLblCursorPos, 384, 6,
                            200, 15);

    pnlSclDat_ = Panel(form_, true);
    pnlSclDatHead_ = Panel(pnlSclDat_, false);
    chkSclDat_ = Control(pnlSclDatHead_, "BUTTON", "check scroll data &File", check, kIdChkSclDat, 6, 2, 137, 21);
    btnEdit_ = Control(pnlSclDatHead_, "BUTTON", "&Edit", push, kIdBtnEdit, 146, 2, 41, 21);
    btnRead_ = Control(pnlSclDatHead_, "BUTTON", "loa&d", push, kIdBtnRead, 194, 2, 41, 21);
    btnCopy_ = Control(pnlSclDatHead_, "BUTTON", "Co&py", push, kIdBtnCopy, 242, 2, 41, 21);
    txtSclDat_ = Control(pnlSclDat_, "EDIT", "", memo, kIdTxtSclDat, 0, 0, 0, 0);
    txtSclDatRes_ = Control(pnlSclDat_, "EDIT", "", memo, kIdTxtSclDatRes, 0, 0, 0, 0);
    pnlSclDatFoot_ = Panel(pnlSclDat_, false);
    chkScl_ = Control(pnlSclDatFoot_, "BUTTON", "&Scrolll", check, kIdChkScl, 6, 2, 65, 21);
    // The rule actions: a subject (the program or the window class of the
    // window shown), then what to do with it. The label's mnemonic reaches
    // the list that follows it in the tab order.
    Control(pnlSclDatFoot_, "STATIC", "F&or:", SS_LEFT, 0, 78, 6, 22, 15);
    cmbSubject_ = Control(pnlSclDatFoot_, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                          kIdCmbSubject, 102, 2, 200, 80);
    btnLeaveAlone_ = Control(pnlSclDatFoot_, "BUTTON", "Leave &alone", push, kIdBtnLeaveAlone, 6, 27, 72, 21);
    btnScrollByWheel_ =
        Control(pnlSclDatFoot_, "BUTTON", "Scroll by &wheel", push, kIdBtnScrollByWheel, 81, 27, 86, 21);
    btnScrollByLines_ =
        Control(pnlSclDatFoot_, "BUTTON", "Scroll by li&nes", push, kIdBtnScrollByLines, 170, 27, 80, 21);
    btnUndo_ = Control(pnlSclDatFoot_, "BUTTON", "&Undo", push, kIdBtnUndo, 253, 27, 44, 21);
    UpdateRuleActions();

    // Splitter1 follows the drag; Splitter2 shows a line and resizes at the end.
    splitter1_ = TFpSplitter::Create(instance_, form_, true, true, [this](int delta, bool) {
        RECT client;
        ::GetClientRect(form_, &client);
        const std::int32_t wanted = ClampTreeWidth(treeWidth_ + delta, client.right, dpi_);
        const int moved = wanted - treeWidth_;
        treeWidth_ = wanted;
        ApplyLayout();
        return moved;
    });
    splitter2_ = TFpSplitter::Create(instance_, pnlSclDat_, false, false, [this](int delta, bool done) {
        if (!done) return 0;
        RECT panel;
        ::GetClientRect(pnlSclDat_, &panel);
        const std::int32_t wanted = ClampScrollDataHeight(sclDatHeight_ + delta, panel.bottom, dpi_);
        const int moved = wanted - sclDatHeight_;
        sclDatHeight_ = wanted;
        ApplyLayout();
        return moved;
    });
}

void TFProbeForm::ApplyLayout() {
    if (!pnlSclDat_ || ::IsIconic(form_)) return;
    RECT client;
    ::GetClientRect(form_, &client);
    const TFpLayout l = LayoutProbeForm(client.right, client.bottom, treeWidth_, sclDatHeight_, dpi_);
    // A side panel squeezed below the minimum keeps the width it snapped to.
    treeWidth_ = l.WindowsTreeWidth;
    sclDatHeight_ = l.ScrollDataHeight;
    Place(pnlSystem_, l.PnlSystem);
    Place(pnlWndsTree_, l.PnlWndsTree);
    if (splitter1_) Place(splitter1_->Window(), l.Splitter1);
    Place(pnlSclDat_, l.PnlSclDat);
    Place(pnlWndsTreeHead_, l.PnlWndsTreeHead);
    Place(treWndsTree_, l.TreWndsTree);
    Place(pnlSclDatHead_, l.PnlSclDatHead);
    Place(txtSclDat_, l.TxtSclDat);
    if (splitter2_) Place(splitter2_->Window(), l.Splitter2);
    Place(txtSclDatRes_, l.TxtSclDatRes);
    Place(pnlSclDatFoot_, l.PnlSclDatFoot);
}

void TFProbeForm::ApplyGeometry() {
    // The kept sizes are for 96 dpi: the form opens as large as the scale
    // of the monitor its place lies on asks for.
    const TFpGeometry& kept = settings_.Geometry();
    const RECT near96{kept.Left, kept.Top, kept.Left + kept.Width, kept.Top + kept.Height};
    const int dpi = MonitorDpi(::MonitorFromRect(&near96, MONITOR_DEFAULTTONEAREST));
    if (dpi != dpi_) ApplyDpi(dpi);
    const TFpGeometry g = GeometryAtDpi(kept, dpi_);
    treeWidth_ = g.WindowsTreeWidth;
    sclDatHeight_ = g.ScrollDataHeight;
    const Rect r = FormRectOnMonitors(g.FormRect(), MonitorWorkAreas());
    ::SetWindowPos(form_, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyLayout();
}

void TFProbeForm::ApplyDpi(int dpi) {
    dpi_ = dpi;
    const LOGFONTW font = AnsiTextFont(ScaleToDpi(12, dpi_));
    ScopedHandle<FontTraits> next(::CreateFontIndirectW(&font));
    if (next) {
        for (HWND w : texts_) ::SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(next.get()), TRUE);
        // The controls hold the new font before the old one goes.
        font_ = std::move(next);
    }
    for (const TFixedControl& c : fixed_) {
        ::MoveWindow(c.Window, ScaleToDpi(c.At96.left, dpi_), ScaleToDpi(c.At96.top, dpi_),
                     ScaleToDpi(c.At96.Width(), dpi_), ScaleToDpi(c.At96.Height(), dpi_), TRUE);
    }
    if (treWndsTree_) ::SendMessageA(treWndsTree_, TVM_SETINDENT, static_cast<WPARAM>(ScaleToDpi(19, dpi_)), 0);
}

void TFProbeForm::OnDpiChanged(int dpi, const RECT& suggested) {
    // The form was laid out for this scale already (it was placed there).
    if (dpi == dpi_) return;
    treeWidth_ = RescaleDpi(treeWidth_, dpi_, dpi);
    sclDatHeight_ = RescaleDpi(sclDatHeight_, dpi_, dpi);
    ApplyDpi(dpi);
    ::SetWindowPos(form_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyLayout();
}

void TFProbeForm::FormDestroy() {
    if (probe_) probe_->StopCheckTimer();
    TFpGeometry& g = settings_.Geometry();
    TFormPlacement p;
    RECT window;
    ::GetWindowRect(form_, &window);
    p.Window = FromRect(window);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (::GetWindowPlacement(form_, &placement) && placement.showCmd != SW_SHOWNORMAL) {
        p.Normal = false;
        p.NormalPosition = FromRect(placement.rcNormalPosition);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        ::GetMonitorInfoA(::MonitorFromWindow(form_, MONITOR_DEFAULTTOPRIMARY), &monitor);
        p.Monitor = FromRect(monitor.rcMonitor);
        p.Work = FromRect(monitor.rcWork);
    }
    const Rect r = FormRectToSave(p);
    g = GeometryToKeep(TFpGeometry{r.left, r.top, r.right - r.left, r.bottom - r.top, treeWidth_, sclDatHeight_}, dpi_);
    settings_.WriteProbeSettings();
}

// --- checks ------------------------------------------------------------------

bool TFProbeForm::Checked(HWND box) { return ::SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TFProbeForm::SetBox(HWND box, bool b) {
    if (Checked(box) != b) ::SendMessageA(box, BM_SETCHECK, b ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TFProbeForm::SetCheckEnable(bool b) {
    probe_->SetCheckEnable(b);
    SetBox(chkEnable_, b);
}

void TFProbeForm::SetCheckScroll(bool b) {
    settings_.Checks().Scroll = b;
    SetBox(chkScl_, b);
}

void TFProbeForm::SetCheckScrollData(bool b) {
    settings_.Checks().ScrollDateFile = b;
    SetBox(chkSclDat_, b);
}

void TFProbeForm::SetCheckWindowsTree(bool b) {
    settings_.Checks().WindowsTree = b;
    SetBox(chkWndsTree_, b);
}

void TFProbeForm::OnCommand(int id) {
    TProbeChecks& c = settings_.Checks();
    switch (id) {
    case kIdChkEnable: SetCheckEnable(Checked(chkEnable_)); break;
    case kIdChkLBtn: c.LeftButton = Checked(chkLBtn_); break;
    case kIdChkRBtn: c.RightButton = Checked(chkRBtn_); break;
    case kIdChkMBtn: c.MiddleButton = Checked(chkMBtn_); break;
    case kIdChkWndsTree: SetCheckWindowsTree(Checked(chkWndsTree_)); break;
    case kIdChkSclDat: SetCheckScrollData(Checked(chkSclDat_)); break;
    case kIdChkScl: SetCheckScroll(Checked(chkScl_)); break;
    case kIdBtnEdit: EditScrollData(); break;
    case kIdBtnRead: ReloadProbeScrollData(); break;
    case kIdBtnCopy: CopyToClipboard(); break;
    case kIdBtnLeaveAlone: TakeRuleAction(ERuleAction::LeaveAlone); break;
    case kIdBtnScrollByWheel: TakeRuleAction(ERuleAction::ScrollByWheel); break;
    case kIdBtnScrollByLines: TakeRuleAction(ERuleAction::ScrollByLines); break;
    case kIdBtnUndo: UndoRuleAction(); break;
    default: break;
    }
}

// --- commands ------------------------------------------------------------------

void TFProbeForm::LoadScrollData() {
    // An aborted reading keeps the rules read so far, as in the resident
    // program, and is shown with its place.
    try {
        TScrollDataReader reader(model_, report_, macros_);
        reader.LoadScrollData(settings_.Files().ScrollDat);
    } catch (const std::exception& e) {
        report_.ShowErrorBox(e.what());
    }
    probe_->RulesChanged();
}

void TFProbeForm::ReloadProbeScrollData() {
    probe_->ReloadScrollData([this] { LoadScrollData(); });
}

void TFProbeForm::EditScrollData() {
    // The shipped file is replaced by an upgrade: the user edits a file of
    // the user's own, made now if needed.
    TFiles& files = settings_.Files();
    if (!EnsureUserScrollDat(files.ScrollDat, settings_.RulesSettingsFile(), *profiles_, macros_)) {
        report_.ShowErrorBox(OwnScrollDatFailedText(files.ScrollDat));
        return;
    }
    processes_.Execute(EditCommandLine(settings_.Files().Editor, settings_.Files().ScrollDat));
}

namespace {

ERuleSubject SubjectAt(int index) { return index == 1 ? ERuleSubject::WindowClass : ERuleSubject::Program; }

std::string Today() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    char text[16];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", t.wYear, t.wMonth, t.wDay);
    return text;
}

}  // namespace

void TFProbeForm::UpdateRuleActions() {
    const ScrollTarget& target = probe_->State().Target;
    const Hwnd w = target.PointedWindow;
    if (w != actionWindow_ || w == kNoWindow) {
        actionWindow_ = w;
        std::string program, cls;
        if (w != kNoWindow) {
            if (!desktop_.ProcessImageName(desktop_.WindowProcessId(w), program)) program.clear();
            cls = desktop_.ClassName(w);
        }
        subjectNames_[0] = WritableRuleName(program) ? program : std::string();
        subjectNames_[1] = WritableRuleName(cls) ? cls : std::string();
        const int selected = ::SendMessageA(cmbSubject_, CB_GETCURSEL, 0, 0) == 1 ? 1 : 0;
        ::SendMessageA(cmbSubject_, CB_RESETCONTENT, 0, 0);
        const std::string items[2] = {"program " + subjectNames_[0], "window class " + subjectNames_[1]};
        for (const std::string& item : items) {
            ::SendMessageA(cmbSubject_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
        ::SendMessageA(cmbSubject_, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    }
    const int index = ::SendMessageA(cmbSubject_, CB_GETCURSEL, 0, 0) == 1 ? 1 : 0;
    const std::string& name = subjectNames_[index];
    const std::optional<ERuleAction> taken =
        name.empty() ? std::nullopt : ruleEditor_.Taken(settings_.Files().ScrollDat, SubjectAt(index), name);
    const bool open = !name.empty() && !taken;
    // Scrolling is offered only where no rule scrolls the window already.
    const bool scrolls = target.Rule && target.IsScroll;
    ::EnableWindow(btnLeaveAlone_, open);
    ::EnableWindow(btnScrollByWheel_, open && !scrolls);
    ::EnableWindow(btnScrollByLines_, open && !scrolls);
    ::EnableWindow(btnUndo_, taken.has_value());
    ::EnableWindow(cmbSubject_, w != kNoWindow);
}

void TFProbeForm::TakeRuleAction(ERuleAction action) {
    const int index = ::SendMessageA(cmbSubject_, CB_GETCURSEL, 0, 0) == 1 ? 1 : 0;
    if (subjectNames_[index].empty()) return;
    if (ruleEditor_.Apply(settings_.Files().ScrollDat, settings_.RulesSettingsFile(), SubjectAt(index),
                          subjectNames_[index], action, Today())) {
        RulesWritten();
    }
}

void TFProbeForm::UndoRuleAction() {
    const int index = ::SendMessageA(cmbSubject_, CB_GETCURSEL, 0, 0) == 1 ? 1 : 0;
    if (subjectNames_[index].empty()) return;
    if (ruleEditor_.Undo(settings_.Files().ScrollDat, SubjectAt(index), subjectNames_[index])) RulesWritten();
}

void TFProbeForm::RulesWritten() {
    // The resident program sees the file change and reads it by itself.
    const Hwnd w = actionWindow_;
    LoadScrollData();
    probe_->ShowRuleAgain(w);
    UpdateRuleActions();
}

void TFProbeForm::CopyToClipboard() {
    const std::string text = probe_->CopyText();
    if (!::OpenClipboard(form_)) return;
    ::EmptyClipboard();
    ScopedHandle<GlobalMemoryTraits> mem(::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
    if (void* p = mem ? ::GlobalLock(mem.get()) : nullptr) {
        std::memcpy(p, text.c_str(), text.size() + 1);
        ::GlobalUnlock(mem.get());
        // The clipboard owns the memory once it took it.
        if (::SetClipboardData(CF_TEXT, mem.get())) mem.release();
    }
    ::CloseClipboard();
}

// --- views -----------------------------------------------------------------------

void TFProbeForm::ShowCursorPos(const std::string& text) { ::SetWindowTextA(lblCursorPos_, text.c_str()); }
void TFProbeForm::ShowScrollData(const std::string& text) {
    ::SetWindowTextA(txtSclDat_, text.c_str());
    UpdateRuleActions();
}
void TFProbeForm::ShowScrollResult(const std::string& text) { ::SetWindowTextA(txtSclDatRes_, text.c_str()); }

void TFProbeForm::InsertNodes(HTREEITEM parent, const TTreeNode& node, HTREEITEM& selected) {
    TVINSERTSTRUCTA ins{};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = const_cast<char*>(node.Text.c_str());
    ins.item.lParam = reinterpret_cast<LPARAM>(&node);
    auto item = reinterpret_cast<HTREEITEM>(::SendMessageA(treWndsTree_, TVM_INSERTITEMA, 0,
                                                            reinterpret_cast<LPARAM>(&ins)));
    if (!item) return;
    for (const auto& c : node.Children) InsertNodes(item, *c, selected);
    if (node.Expanded) ::SendMessageA(treWndsTree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    if (&node == probe_->Tree().Selected()) selected = item;
}

void TFProbeForm::ShowWindowTree(const TWindowTree& tree) {
    ::SendMessageA(treWndsTree_, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(treWndsTree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    HTREEITEM selected = nullptr;
    for (const auto& r : tree.Roots()) InsertNodes(TVI_ROOT, *r, selected);
    if (selected) {
        ::SendMessageA(treWndsTree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected));
        ::SendMessageA(treWndsTree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(selected));
    }
    ::SendMessageA(treWndsTree_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(treWndsTree_, nullptr, TRUE);
}

void TFProbeForm::OnTreeExpanding(const NM_TREEVIEWA& nm) {
    if (!(nm.action & TVE_EXPAND)) return;
    auto* node = reinterpret_cast<TTreeNode*>(nm.itemNew.lParam);
    HTREEITEM item = nm.itemNew.hItem;
    if (!node || !probe_->Tree().ExpandWindowNode(*node)) return;
    // The items of the replaced placeholders go; the filled ones come in.
    while (auto child = reinterpret_cast<HTREEITEM>(
               ::SendMessageA(treWndsTree_, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)))) {
        ::SendMessageA(treWndsTree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(child));
    }
    HTREEITEM none = nullptr;
    for (const auto& c : node->Children) InsertNodes(item, *c, none);
}

// --- timer ---------------------------------------------------------------------

bool TFProbeForm::SetTimer(Millis interval) {
    return ::SetTimer(form_, timerId_, interval, &TFProbeForm::TimerProc) != 0;
}

void TFProbeForm::KillTimer() { ::KillTimer(form_, timerId_); }

VOID CALLBACK TFProbeForm::TimerProc(HWND wnd, UINT, UINT_PTR, DWORD time) {
    auto* form = WindowObject<TFProbeForm>(wnd);
    if (form && form->probe_) form->probe_->CheckTimerTick(time);
}

// --- window procedures -------------------------------------------------------------

LRESULT CALLBACK TFProbeForm::PanelProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(wnd, &ps);
        if (::GetWindowLongPtrA(wnd, GWLP_USERDATA) == kBevelled) {
            RECT r;
            ::GetClientRect(wnd, &r);
            ::DrawEdge(dc, &r, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
        }
        ::EndPaint(wnd, &ps);
        return 0;
    }
    case WM_COMMAND:
    case WM_NOTIFY:
        // The form handles what the controls report, wherever they sit.
        return ::SendMessageA(::GetParent(wnd), msg, wParam, lParam);
    default:
        return ::DefWindowProcA(wnd, msg, wParam, lParam);
    }
}

LRESULT TFProbeForm::HandleWindowMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // The first message comes before CreateWindowEx has returned the handle.
    if (!form_) form_ = wnd;
    return Handle(msg, wParam, lParam);
}

LRESULT TFProbeForm::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) ApplyLayout();
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
        if (HIWORD(wParam) == CBN_SELCHANGE && LOWORD(wParam) == kIdCmbSubject) UpdateRuleActions();
        return 0;
    case WM_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        if (hdr->hwndFrom == treWndsTree_ && (hdr->code == TVN_ITEMEXPANDINGA || hdr->code == TVN_ITEMEXPANDINGW)) {
            OnTreeExpanding(*reinterpret_cast<const NM_TREEVIEWA*>(lParam));
        }
        return 0;
    }
    case WM_DESTROY:
        FormDestroy();
        DetachWindowObject(form_);
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(form_, msg, wParam, lParam);
    }
}

int TFProbeForm::Run() {
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // The dialog manager gives the form its tab order and accelerators.
        if (::IsDialogMessageA(form_, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace flicko
